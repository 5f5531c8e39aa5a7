#include "sound/qtsoundplayer.h"
#include "support/testfiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

// Runs with PULSE_SERVER pointing nowhere: the machine has no audio output.
class TestSound final : public QObject {
    Q_OBJECT

private slots:
    void durationComesFromTheWaveHeader();
    void missingOrUnreadableFilePlaysNothingAndReturnsAtOnce();
    void noAudioOutputReturnsAtOnce();
};

void TestSound::durationComesFromTheWaveHeader() {
    QTemporaryDir dir;
    const QString tone = dir.filePath(QStringLiteral("ton.wav"));
    writeTestTone(tone, 440, 0.5);
    const auto duration = common::QtSoundPlayer::wavDuration(tone);
    QVERIFY(duration.has_value());
    QCOMPARE(duration->count(), 500);

    const QString junk = dir.filePath(QStringLiteral("skräp.wav"));
    writeTestFile(junk, "RIFF\x10\0\0\0WAVEjunk");
    QVERIFY(!common::QtSoundPlayer::wavDuration(junk).has_value());
    QVERIFY(!common::QtSoundPlayer::wavDuration(dir.filePath(QStringLiteral("borta.wav"))));
}

void TestSound::missingOrUnreadableFilePlaysNothingAndReturnsAtOnce() {
    QTemporaryDir dir;
    const QString junk = dir.filePath(QStringLiteral("horn.wav"));
    writeTestFile(junk, QByteArray(5000, 'x'));
    common::QtSoundPlayer player;
    QElapsedTimer clock;
    clock.start();
    player.play(dir.filePath(QStringLiteral("xmusic.wav")));
    player.play(junk);
    player.play(dir.path());
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
}

void TestSound::noAudioOutputReturnsAtOnce() {
    QTemporaryDir dir;
    const QString tone = dir.filePath(QStringLiteral("wow.wav"));
    writeTestTone(tone, 440, 2.0);
    common::QtSoundPlayer player;
    QElapsedTimer clock;
    clock.start();
    player.play(tone);
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
}

QTEST_MAIN(TestSound)
#include "tst_sound.moc"
