// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/exerciserun.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

namespace {
const QString intro = QStringLiteral("xmusic.wav");
const QString praise = QStringLiteral("wow.wav");

// Target 3 with the picture of palette position 3 in slots 0, 4 and 8.
void answerRight(ExerciseRun &run) {
    run.arrange({3, -1, -1, -1, 3, -1, -1, -1, 3});
    run.pressDone();
}

// A key on whatever has the focus, as the keyboard gives it.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}
} // namespace

class TestExercisePacing final : public QObject {
    Q_OBJECT

private slots:
    void startSequenceSetsUpTheFirstTask();
    void introOnFirstTickOnly();
    void praiseOnFifthTickThenNextTask();
    void noSoundKeepsTheSameTiming_data();
    void noSoundKeepsTheSameTiming();
    void praiseHoldsTheAnswerAndACloseUntilItHasPlayed();
    void gaugeCountsDownAndLastPraiseEnds();
    void doubleRightCheckCountsOnce_data();
    void doubleRightCheckCountsOnce();
    void noTasksEndsAfterFirstPraise_data();
    void noTasksEndsAfterFirstPraise();
    void quitEndsAtOnceInAnyState();
    void keysAlonePlayTheRunAndWaitForACue();
    void aFirstSpacePicksRatherThanQuits();
    void hiddenButtonsStayHidden();
};

void TestExercisePacing::startSequenceSetsUpTheFirstTask() {
    ExerciseRun run;
    run.load();
    exercise::Form1 &form = run.form();
    QVERIFY(form.Form2.isVisible());
    QVERIFY(!form.isVisible()); // shown by the caller once the start has succeeded
    QCOMPARE(form.taskCount, 3);
    QCOMPARE(form.smallestNumber, 1);
    QCOMPARE(form.largestNumber, 9);
    QCOMPARE(form.soundOn, -1);
    QCOMPARE(form.doneButtonVisible, -1);
    QCOMPARE(form.quitButtonVisible, -1);
    QCOMPARE(form.picked, 9);
    QCOMPARE(form.previousPicked, 9);
    QCOMPARE(form.pacingCounter, 10);
    QCOMPARE(form.targetNumber, 3);
    QCOMPARE(form.Label1->text(), QStringLiteral("3"));
    QCOMPARE(form.Gauge1->maximum(), 3);
    QCOMPARE(form.Gauge1->value(), 3);
    QVERIFY(form.Picture2->picture().isEmpty());
    for (int i = 0; i < 9; ++i) {
        QVERIFY(run.paletteHandle(i) != 0);
        QCOMPARE(run.slotHandle(i), 0u);
    }
    QCOMPARE(run.paletteHandle(9), 0u);
    // Each load is a picture of its own, even from the same file.
    QVERIFY(run.paletteHandle(7) != run.paletteHandle(3));
    QVERIFY(run.services.sound.played.isEmpty());
}

void TestExercisePacing::introOnFirstTickOnly() {
    ExerciseRun run;
    run.load();
    run.tick();
    QCOMPARE(run.services.sound.played, QStringList{intro});
    QCOMPARE(run.form().pacingCounter, 0);
    run.tick(40);
    QCOMPARE(run.services.sound.played, QStringList{intro});
    QCOMPARE(run.form().pacingCounter, 0);
    QCOMPARE(run.form().Gauge1->value(), 3);
    QCOMPARE(run.services.end.endCount, 0);
}

void TestExercisePacing::praiseOnFifthTickThenNextTask() {
    ExerciseRun run;
    run.load();
    exercise::Form1 &form = run.form();
    run.tick();
    answerRight(run);
    QCOMPARE(form.pacingCounter, 1);
    QCOMPARE(form.Gauge1->value(), 2); // down before the praise

    run.services.random.setValues({0.0f, 0.0f}); // the next task: 1 with position 0
    run.tick(4);
    QCOMPARE(form.pacingCounter, 5);
    QCOMPARE(run.services.sound.played, QStringList{intro});
    QCOMPARE(run.slotHandle(4), run.paletteHandle(3)); // the answer stays on view

    run.tick();
    QCOMPARE(run.services.sound.played, (QStringList{intro, praise}));
    QCOMPARE(form.pacingCounter, 0);
    for (int i = 0; i < 9; ++i)
        QCOMPARE(run.slotHandle(i), 0u);
    QCOMPARE(form.targetNumber, 1);
    QCOMPARE(form.Label1->text(), QStringLiteral("1"));
    QCOMPARE(form.Image1->picture().handle(), run.paletteHandle(0));
    QCOMPARE(run.services.random.reseedCount, 2);
    QCOMPARE(form.Gauge1->value(), 2);
    QCOMPARE(run.services.end.endCount, 0);

    run.tick(10);
    QCOMPARE(run.services.sound.played.size(), 2);
}

void TestExercisePacing::noSoundKeepsTheSameTiming_data() {
    QTest::addColumn<int>("soundOn");
    QTest::newRow("0") << 0;
    QTest::newRow("1") << 1; // only -1 is on
}

void TestExercisePacing::noSoundKeepsTheSameTiming() {
    QFETCH(int, soundOn);
    ExerciseRun run;
    run.settings.soundOn = common::Int16(soundOn);
    run.load();
    run.tick();
    run.pressDone(); // wrong: no horn either
    answerRight(run);
    run.tick(4);
    QCOMPARE(run.slotHandle(0), run.paletteHandle(3));
    run.tick();
    QCOMPARE(run.slotHandle(0), 0u);
    QVERIFY(run.services.sound.played.isEmpty());
}

void TestExercisePacing::praiseHoldsTheAnswerAndACloseUntilItHasPlayed() {
    ExerciseRun run;
    run.writeSettings();
    exercise::Form1 &form = run.form();
    QVERIFY(form.start());
    QSignalSpy unloaded(&form, &exercise::Form1::unloaded);
    run.tick();
    answerRight(run);
    run.tick(4);
    std::uint32_t shownDuringPraise = 0;
    run.services.sound.whilePlaying = [&](const QString &) {
        shownDuringPraise = run.slotHandle(4);
        form.close(); // through the frame, while the praise plays
    };
    run.tick();
    QCOMPARE(shownDuringPraise, run.paletteHandle(3));
    QCOMPARE(run.slotHandle(4), 0u);
    QVERIFY(form.isVisible()); // the close comes after the sound's tick
    QCOMPARE(unloaded.size(), 0);
    QTRY_COMPARE(unloaded.size(), 1);
    QVERIFY(!form.isVisible());
    QVERIFY(!form.Form2.isVisible());
}

void TestExercisePacing::gaugeCountsDownAndLastPraiseEnds() {
    ExerciseRun run;
    run.load();
    exercise::Form1 &form = run.form();
    run.tick();
    for (int task = 1; task <= 3; ++task) {
        answerRight(run);
        QCOMPARE(form.Gauge1->value(), 3 - task);
        QCOMPARE(form.Gauge1->maximum(), 3);
        run.tick(4);
        QCOMPARE(run.services.end.endCount, 0);
        run.tick();
        QCOMPARE(run.services.end.endCount, task == 3 ? 1 : 0);
    }
    // The last praise still played and cleared the slots before the end.
    QCOMPARE(run.services.sound.played.count(praise), 3);
    QCOMPARE(run.slotHandle(0), 0u);
    QVERIFY(run.services.errors.errors.isEmpty());
}

void TestExercisePacing::doubleRightCheckCountsOnce_data() {
    QTest::addColumn<int>("ticksBetween");
    for (int ticks = 0; ticks <= 4; ++ticks) // the counter at 1 to 5
        QTest::addRow("after %d ticks", ticks) << ticks;
}

void TestExercisePacing::doubleRightCheckCountsOnce() {
    QFETCH(int, ticksBetween);
    ExerciseRun run;
    run.settings.taskCount = 2;
    run.load();
    exercise::Form1 &form = run.form();
    run.tick();
    answerRight(run);
    run.tick(ticksBetween);
    QCOMPARE(form.pacingCounter, 1 + ticksBetween);
    run.pressDone();
    QCOMPARE(form.Gauge1->value(), 1);
    QCOMPARE(form.pacingCounter, 1); // the wait starts again
    run.tick(4);
    QCOMPARE(run.services.sound.played, QStringList{intro});
    run.tick();
    QCOMPARE(run.services.sound.played, (QStringList{intro, praise}));
    QCOMPARE(run.services.end.endCount, 0);

    // The last task, checked twice as well: the gauge stops at 0 and the run ends.
    answerRight(run);
    run.pressDone();
    QCOMPARE(form.Gauge1->value(), 0);
    run.tick(5);
    QCOMPARE(run.services.end.endCount, 1);
    QVERIFY2(run.services.errors.errors.isEmpty(),
             qPrintable(run.services.errors.errors.join(u'\n')));
}

void TestExercisePacing::noTasksEndsAfterFirstPraise_data() {
    QTest::addColumn<int>("taskCount");
    QTest::newRow("0") << 0;
    QTest::newRow("-4") << -4;
}

void TestExercisePacing::noTasksEndsAfterFirstPraise() {
    QFETCH(int, taskCount);
    ExerciseRun run;
    run.settings.taskCount = common::Int16(taskCount);
    run.load();
    exercise::Form1 &form = run.form();
    QCOMPARE(form.taskCount, taskCount);
    QCOMPARE(form.Gauge1->maximum(), 0);
    QCOMPARE(form.Gauge1->value(), 0);
    run.tick();
    answerRight(run);
    QCOMPARE(form.Gauge1->value(), 0);
    QCOMPARE(form.pacingCounter, 1);
    run.tick(5);
    QCOMPARE(run.services.end.endCount, 1);
    QVERIFY(run.services.errors.errors.isEmpty());
}

void TestExercisePacing::quitEndsAtOnceInAnyState() {
    {
        ExerciseRun run; // before the intro
        run.load();
        run.pressQuit();
        QCOMPARE(run.services.end.endCount, 1);
        QVERIFY(run.services.sound.played.isEmpty());
    }
    {
        ExerciseRun run; // while a right answer waits for its praise
        run.load();
        run.tick();
        answerRight(run);
        run.tick(2);
        run.pressQuit();
        QCOMPARE(run.services.end.endCount, 1);
        QCOMPARE(run.services.sound.played, QStringList{intro});
    }
}

void TestExercisePacing::keysAlonePlayTheRunAndWaitForACue() {
    ExerciseRun run;
    run.settings.taskCount = 2;
    run.writeSettings();
    exercise::Form1 &form = run.form();
    QVERIFY(form.start());
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), form.Picture1[0]);

    // Space on palette position 3 while the intro plays: the pick waits for the music.
    press(Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), form.Picture1[3]);
    int pickedDuringIntro = -1;
    run.services.sound.whilePlaying = [&](const QString &) {
        press(Qt::Key_Space);
        pickedDuringIntro = form.picked;
    };
    run.tick();
    run.services.sound.whilePlaying = nullptr;
    QCOMPARE(pickedDuringIntro, 9);
    QTRY_COMPARE(form.picked, 3);

    // Target 3: into slots 1, 2 and 3, each pick taken again from the palette's stop.
    press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.Panel3D4[0]);
    press(Qt::Key_Space);
    for (int slot = 1; slot <= 2; ++slot) {
        press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), form.Picture1[3]);
        press(Qt::Key_Return);
        press(Qt::Key_Tab);
        press(Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), form.Panel3D4[slot]);
        press(Qt::Key_Enter, Qt::KeypadModifier);
    }
    press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.Command3D1);
    press(Qt::Key_Return);
    QCOMPARE(form.Gauge1->value(), 1);

    // The next task (1 of position 8) starts with the focus back on the palette's first picture.
    run.services.random.setValues({0.0f, 0.9f});
    run.tick(5);
    QCOMPARE(form.targetNumber, 1);
    QCOMPARE(QApplication::focusWidget(), form.Picture1[0]);
    press(Qt::Key_End);
    press(Qt::Key_Space);
    QCOMPARE(form.picked, 8);
    press(Qt::Key_Tab);
    press(Qt::Key_Home);
    QCOMPARE(QApplication::focusWidget(), form.Panel3D4[0]);
    press(Qt::Key_Space);
    press(Qt::Key_Tab);
    press(Qt::Key_Space);
    QCOMPARE(form.Gauge1->value(), 0);
    run.tick(5);
    QCOMPARE(run.services.end.endCount, 1);
    QCOMPARE(run.services.sound.played, (QStringList{intro, praise, praise}));
    QVERIFY(run.services.errors.errors.isEmpty());
}

void TestExercisePacing::aFirstSpacePicksRatherThanQuits() {
    ExerciseRun run;
    run.writeSettings();
    exercise::Form1 &form = run.form();
    QVERIFY(form.start());
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    press(Qt::Key_Space);
    QCOMPARE(run.services.end.endCount, 0);
    QCOMPARE(form.picked, 0);
    // Back through the window, "Sluta" comes first and quits.
    press(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), form.Command3D2);
    press(Qt::Key_Space);
    QCOMPARE(run.services.end.endCount, 1);
}

void TestExercisePacing::hiddenButtonsStayHidden() {
    ExerciseRun run;
    run.settings.doneButtonVisible = 0;
    run.settings.quitButtonVisible = 0;
    run.load();
    run.form().show();
    QVERIFY(!run.form().Command3D1->isVisible());
    QVERIFY(!run.form().Command3D2->isVisible());
    run.tick();
    run.pick(3);
    run.place(0);
    QVERIFY(!run.form().Command3D1->isVisible());
    QVERIFY(!run.form().Command3D2->isVisible());

    for (const int visible : {-1, 1}) { // only 0 hides
        ExerciseRun shown;
        shown.settings.doneButtonVisible = common::Int16(visible);
        shown.settings.quitButtonVisible = common::Int16(visible);
        shown.load();
        shown.form().show();
        QVERIFY(shown.form().Command3D1->isVisible());
        QVERIFY(shown.form().Command3D2->isVisible());
    }
}

QTEST_MAIN(TestExercisePacing)
#include "tst_exercisepacing.moc"
