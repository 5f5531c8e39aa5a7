#include "pulseserver.h"
#include "qtsoundplayer.h"
#include "testfiles.h"

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
    QVERIFY(m_server.startRecording());
    const QByteArray before = m_server.stopRecording();
    QVERIFY(m_server.startRecording());

    common::QtSoundPlayer player;
    QElapsedTimer clock;
    clock.start();
    player.play(tone);
    const qint64 elapsed = clock.elapsed();
    QTest::qWait(300);
    const QByteArray heard = m_server.stopRecording();

    QVERIFY2(elapsed >= 400 && elapsed <= 3000, qPrintable(QString::number(elapsed)));
    QVERIFY(!before.isEmpty());
    QVERIFY2(heard.size() >= 8000,
             qPrintable(QString::number(heard.size()))); // half a second at least
    QVERIFY2(rms(before) < 50, qPrintable(QString::number(rms(before))));
    QVERIFY2(rms(heard) > 500, qPrintable(QString::number(rms(heard))));
}

QTEST_MAIN(TestSoundServer)
#include "tst_soundserver.moc"
