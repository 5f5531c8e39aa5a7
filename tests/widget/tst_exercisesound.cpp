// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/pulsesoundplayer.h"
#include "support/exerciserun.h"
#include "support/monitorrecorder.h"
#include "support/pulseserver.h"
#include "support/testfiles.h"

#include <QElapsedTimer>
#include <QTest>

// The exercise window with the real player, into a private PulseAudio null sink.
class TestExerciseSound final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cuesPlayFromTheCurrentDirectoryAndHoldTheWindow();

private:
    PulseServer m_server;
};

void TestExerciseSound::initTestCase() {
    if (!m_server.start())
        QSKIP(qPrintable(QStringLiteral("no sound server for this test: ") + m_server.reason()));
}

void TestExerciseSound::cuesPlayFromTheCurrentDirectoryAndHoldTheWindow() {
    common::PulseSoundPlayer player;
    ExerciseRun run;
    run.soundPlayer = &player;
    // Longer than the margins of the wait, so that a bound that cuts it short shows.
    constexpr int introMs = 2500;
    writeTestTone(run.dirPath() + QStringLiteral("/xmusic.wav"), 440, introMs / 1000.0);
    run.load();

    MonitorRecorder recorder(m_server.monitorName());
    QVERIFY(recorder.start());
    QElapsedTimer clock;
    clock.start();
    run.tick(); // the intro, named relative to the current directory
    const qint64 elapsed = clock.elapsed();
    // The tail of the intro reaches the monitor after the tick returns.
    QTRY_VERIFY_WITH_TIMEOUT(rms(recorder.samples()) > 500, 10000);
    recorder.stop();
    // Not before the intro's end, and not much after.
    QVERIFY2(elapsed >= introMs - 20 && elapsed <= introMs + 3000,
             qPrintable(QString::number(elapsed)));

    // No "wow.wav" here: the praise is silent and the run goes on at once.
    run.arrange({3, -1, -1, -1, 3, -1, -1, -1, 3});
    run.pressDone();
    clock.restart();
    run.tick(5);
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(run.slotHandle(0), 0u);
    QVERIFY(run.services.errors.errors.isEmpty());
}

QTEST_MAIN(TestExerciseSound)
#include "tst_exercisesound.moc"
