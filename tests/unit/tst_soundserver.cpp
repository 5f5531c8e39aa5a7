#include "sound/qtsoundplayer.h"
#include "support/monitorrecorder.h"
#include "support/pulseserver.h"
#include "support/testfiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

// Plays into a private PulseAudio null sink and listens on its monitor.
class TestSoundServer final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void toneReturnsAfterItsLengthAndIsHeard();

private:
    PulseServer m_server;
};

void TestSoundServer::initTestCase() {
    if (!m_server.start())
        QSKIP(qPrintable(QStringLiteral("no sound server for this test: ") + m_server.reason()));
}

void TestSoundServer::toneReturnsAfterItsLengthAndIsHeard() {
    QTemporaryDir dir;
    const QString tone = dir.filePath(QStringLiteral("ton.wav"));
    writeTestTone(tone, 440, 0.5);
    MonitorRecorder recorder(m_server.monitorName());
    QVERIFY(recorder.start());
    const QByteArray before = recorder.samples();

    common::QtSoundPlayer player;
    QElapsedTimer clock;
    clock.start();
    player.play(tone);
    const qint64 elapsed = clock.elapsed();
    const qsizetype played = before.size() / 2;
    // The tail of the tone reaches the monitor after play() returns.
    QTRY_VERIFY_WITH_TIMEOUT(recorder.samples().size() / 2 - played >= 4000, 10000);
    const QByteArray recorded = recorder.stop();

    QVERIFY2(elapsed >= 400 && elapsed <= 3000, qPrintable(QString::number(elapsed)));
    QVERIFY(!before.isEmpty());
    QVERIFY2(recorded.size() / 2 - played >= 4000, // half a second at least
             qPrintable(QString::number(recorded.size() / 2 - played)));
    QVERIFY2(rms(before) < 50, qPrintable(QString::number(rms(before))));
    QVERIFY2(rms(recorded, played) > 500, qPrintable(QString::number(rms(recorded, played))));
}

QTEST_MAIN(TestSoundServer)
#include "tst_soundserver.moc"
