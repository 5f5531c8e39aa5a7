// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/pulsesoundplayer.h"
#include "support/monitorrecorder.h"
#include "support/pulseserver.h"
#include "support/testfiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(TestWave)

// Plays into a private PulseAudio null sink and listens on its monitor.
class TestSoundServer final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cuesHoldForTheirLengthOnAQuietSink();
    void cueIsHeardToItsEndBeforePlayReturns_data();
    void cueIsHeardToItsEndBeforePlayReturns();

private:
    PulseServer m_server;
};

void TestSoundServer::initTestCase() {
    if (!m_server.start())
        QSKIP(qPrintable(QStringLiteral("no sound server for this test: ") + m_server.reason()));
}

// With nothing else playing, PulseAudio's null sink sleeps through 2 s blocks, as a desktop's
// output may; no recorder listens, since its stream would shorten them. Intro, praise and horn in
// a row each hold the program for their length and the output's latency, and none is skipped.
void TestSoundServer::cuesHoldForTheirLengthOnAQuietSink() {
    m_server.stopSilence();
    QTemporaryDir dir;
    const QList<double> lengths{0.6, 0.5, 0.6};
    common::PulseSoundPlayer player;
    QStringList held;
    bool within = true;
    for (int i = 0; i < int(lengths.size()); ++i) {
        const QString path = dir.filePath(QStringLiteral("cue%1.wav").arg(i));
        writeTestWave(path, TestWave{.seconds = lengths[i]});
        QElapsedTimer clock;
        clock.start();
        player.play(path);
        const qint64 elapsed = clock.elapsed();
        held << QString::number(elapsed);
        within = within && elapsed >= qint64(lengths[i] * 1000) - 20 &&
                 elapsed <= qint64(lengths[i] * 1000) + 300;
    }
    QVERIFY(m_server.startSilence());
    qInfo("held %s ms", qPrintable(held.join(QStringLiteral(", "))));
    QVERIFY2(within, qPrintable(QStringLiteral("held ") + held.join(QStringLiteral(", ")) +
                                QStringLiteral(" ms")));
}

void TestSoundServer::cueIsHeardToItsEndBeforePlayReturns_data() {
    QTest::addColumn<TestWave>("wave");
    const TestWave plain{.seconds = 0.6, .tailFrequency = 880, .tailSeconds = 0.2};
    TestWave extensible = plain;
    extensible.sampleRate = 48000;
    extensible.bits = 24;
    extensible.channels = 2;
    extensible.extensible = true;
    QTest::newRow("16-bit mono") << plain;
    QTest::newRow("extensible 24-bit stereo") << extensible;
}

void TestSoundServer::cueIsHeardToItsEndBeforePlayReturns() {
    QFETCH(TestWave, wave);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ton.wav"));
    writeTestWave(path, wave);
    MonitorRecorder recorder(m_server.monitorName());
    QVERIFY(recorder.start());
    const qsizetype from = recorder.samples().size() / 2;

    common::PulseSoundPlayer player;
    player.play(path);
    const auto returned = MonitorRecorder::Clock::now();
    // Wait until the monitor has caught up with the moment play() returned, and a little more.
    const qsizetype returnIndex = recorder.indexAt(returned);
    QTRY_VERIFY_WITH_TIMEOUT(recorder.samples().size() / 2 > returnIndex + 2400, 10000);
    const QByteArray samples = recorder.stop();

    // Blocks of 20 ms in which the tail's tone is the louder one.
    constexpr qsizetype block = MonitorRecorder::sampleRate / 50;
    qsizetype tailBlocks = 0;
    qsizetype lastTail = -1;
    qsizetype toneBlocks = 0;
    for (qsizetype at = from; at + block <= samples.size() / 2; at += block) {
        if (rms(samples, at, block) < 2000)
            continue;
        if (tonePower(samples, at, block, wave.tailFrequency) >
            tonePower(samples, at, block, wave.frequency)) {
            ++tailBlocks;
            lastTail = at + block;
        } else {
            ++toneBlocks;
        }
    }
    const QString heard = QStringLiteral("%1 blocks of the tone, %2 of the tail, which ended %3 ms "
                                         "after play() returned")
                              .arg(toneBlocks)
                              .arg(tailBlocks)
                              .arg((lastTail - returnIndex) * 1000 / MonitorRecorder::sampleRate);
    // 0.4 s and 0.2 s, less a block at each edge.
    QVERIFY2(toneBlocks >= 19 && tailBlocks >= 9, qPrintable(heard));
    // The end was on the monitor by the time play() returned; the monitor's clock is placed by
    // the earliest block, so it runs late rather than early.
    QVERIFY2(lastTail <= returnIndex + MonitorRecorder::sampleRate / 20, qPrintable(heard));
}

QTEST_MAIN(TestSoundServer)
#include "tst_soundserver.moc"
