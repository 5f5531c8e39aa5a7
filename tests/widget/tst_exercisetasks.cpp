// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/exerciserun.h"

#include <QTest>

using SlotLayout = std::array<int, 9>;
Q_DECLARE_METATYPE(SlotLayout)

namespace {
constexpr common::ColourValue cyan = 0xFFFF00;
constexpr common::ColourValue normal = common::systemWindowBackground;
} // namespace

class TestExerciseTasks final : public QObject {
    Q_OBJECT

private slots:
    void pickingHighlightsAndPutsThePictureInTheHand();
    void placingMovesThePictureAndUsesUpThePick();
    void answerCheck_data();
    void answerCheck();
    void hornOnlyWithSoundAndDoneButtonBothOn_data();
    void hornOnlyWithSoundAndDoneButtonBothOn();
    void placementChecksAtOnceWhenDoneButtonIsHidden_data();
    void placementChecksAtOnceWhenDoneButtonIsHidden();
    void placementWaitsForDoneButtonWhenItIsShown();
    void newTaskDrawsFromTheWholeRange();
    void targetPictureIsAlwaysAPalettePosition();
    void rangeOutside16BitsIsAnError_data();
    void rangeOutside16BitsIsAnError();
};

void TestExerciseTasks::pickingHighlightsAndPutsThePictureInTheHand() {
    ExerciseRun run;
    run.load();
    exercise::Form1 &form = run.form();
    QCOMPARE(form.picked, 9);
    QVERIFY(form.Picture2->picture().isEmpty());

    run.pick(3);
    QCOMPARE(form.picked, 3);
    QCOMPARE(form.previousPicked, 3);
    QCOMPARE(form.Picture1[3]->background(), cyan);
    QCOMPARE(form.Picture1[3]->palette().color(QPalette::Window), QColor(Qt::cyan));
    QVERIFY(run.paletteHandle(3) != 0);
    QCOMPARE(form.Picture2->picture().handle(), run.paletteHandle(3));

    // Through the frame's margin; the highlight moves.
    run.pickFrame(5);
    QCOMPARE(form.picked, 5);
    QCOMPARE(form.Picture1[3]->background(), normal);
    QCOMPARE(form.Picture1[5]->background(), cyan);
    QCOMPARE(form.Picture2->picture().handle(), run.paletteHandle(5));

    // Picking the highlighted position again keeps its highlight.
    run.pick(5);
    QCOMPARE(form.Picture1[5]->background(), cyan);
    run.pickFrame(5);
    QCOMPARE(form.Picture1[5]->background(), cyan);
    QCOMPARE(form.Picture2->picture().handle(), run.paletteHandle(5));
    for (int i = 0; i < 10; ++i) {
        if (i != 5)
            QVERIFY(form.Picture1[i]->background() != cyan);
    }
}

void TestExerciseTasks::placingMovesThePictureAndUsesUpThePick() {
    ExerciseRun run;
    run.load();
    exercise::Form1 &form = run.form();
    std::array<std::uint32_t, 10> palette{};
    for (int i = 0; i < 10; ++i)
        palette[i] = run.paletteHandle(i);

    run.pick(4);
    run.place(2);
    QCOMPARE(run.slotHandle(2), palette[4]);
    QVERIFY(form.Picture2->picture().isEmpty());
    QCOMPARE(form.Picture1[4]->background(), normal);
    QCOMPARE(form.picked, 9);
    QCOMPARE(form.previousPicked, 9);

    // Nothing picked: the slot becomes blank.
    run.place(2);
    QCOMPARE(run.slotHandle(2), 0u);

    // Through the frame panel, over a filled slot.
    run.pick(1);
    run.place(6);
    run.pick(8);
    run.placeFrame(6);
    QCOMPARE(run.slotHandle(6), palette[8]);
    QCOMPARE(form.Picture1[8]->background(), normal);
    QCOMPARE(form.picked, 9);
    run.placeFrame(6);
    QCOMPARE(run.slotHandle(6), 0u);

    // The palette itself never changes.
    for (int i = 0; i < 10; ++i)
        QCOMPARE(run.paletteHandle(i), palette[i]);
}

void TestExerciseTasks::answerCheck_data() {
    QTest::addColumn<int>("target");
    QTest::addColumn<SlotLayout>("layout");
    QTest::addColumn<bool>("right");
    QTest::addColumn<int>("matchCount");
    QTest::addColumn<int>("wrongFound");

    // The target picture is palette position 3; position 7 comes from the same file.
    QTest::newRow("three in 0, 4, 8")
        << 3 << SlotLayout{3, -1, -1, -1, 3, -1, -1, -1, 3} << true << 3 << 0;
    QTest::newRow("a fourth") << 3 << SlotLayout{3, -1, -1, -1, 3, -1, 3, -1, 3} << false << 4 << 0;
    QTest::newRow("another picture too")
        << 3 << SlotLayout{3, -1, -1, -1, 3, 2, -1, -1, 3} << false << 2 << 1;
    QTest::newRow("same file, other position")
        << 3 << SlotLayout{3, -1, -1, -1, 3, -1, -1, -1, 7} << false << 2 << 1;
    QTest::newRow("wrong first stops counting")
        << 3 << SlotLayout{0, 3, 3, 3, -1, -1, -1, -1, -1} << false << 0 << 1;
    QTest::newRow("all blank, target 0")
        << 0 << SlotLayout{-1, -1, -1, -1, -1, -1, -1, -1, -1} << true << 0 << 0;
    QTest::newRow("all blank, target 1")
        << 1 << SlotLayout{-1, -1, -1, -1, -1, -1, -1, -1, -1} << false << 0 << 0;
    QTest::newRow("nine, target 9") << 9 << SlotLayout{3, 3, 3, 3, 3, 3, 3, 3, 3} << true << 9 << 0;
    QTest::newRow("target 10 never right")
        << 10 << SlotLayout{3, 3, 3, 3, 3, 3, 3, 3, 3} << false << 9 << 0;
}

void TestExerciseTasks::answerCheck() {
    QFETCH(int, target);
    QFETCH(const SlotLayout, layout);
    QFETCH(bool, right);
    QFETCH(int, matchCount);
    QFETCH(int, wrongFound);

    ExerciseRun run;
    run.settings.smallestNumber = common::Int16(target);
    run.settings.largestNumber = common::Int16(target);
    run.load();
    exercise::Form1 &form = run.form();
    QCOMPARE(form.targetNumber, target);
    QCOMPARE(form.Image1->picture().handle(), run.paletteHandle(3));

    run.arrange(layout);
    QCOMPARE(form.pacingCounter, 10); // placing alone checks nothing while "KLAR" is shown
    run.pressDone();
    QCOMPARE(form.matchCount, matchCount);
    QCOMPARE(form.wrongFound, wrongFound);
    QCOMPARE(form.Gauge1->value(), right ? 2 : 3);
    QCOMPARE(form.pacingCounter, right ? 1 : 10);
    QCOMPARE(run.services.sound.played,
             right ? QStringList() : QStringList{QStringLiteral("horn.wav")});
    // The slots keep their pictures until the praise.
    for (int i = 0; i < 9; ++i)
        QCOMPARE(run.slotHandle(i), layout[i] < 0 ? 0u : run.paletteHandle(layout[i]));
    QVERIFY(run.services.errors.errors.isEmpty());
}

void TestExerciseTasks::hornOnlyWithSoundAndDoneButtonBothOn_data() {
    QTest::addColumn<int>("soundOn");
    QTest::addColumn<int>("doneButtonVisible");
    QTest::addColumn<bool>("horn");
    QTest::newRow("both -1") << -1 << -1 << true;
    QTest::newRow("sound off") << 0 << -1 << false;
    QTest::newRow("sound 1") << 1 << -1 << false;
    QTest::newRow("button hidden") << -1 << 0 << false;
    QTest::newRow("button 1") << -1 << 1 << false;
}

void TestExerciseTasks::hornOnlyWithSoundAndDoneButtonBothOn() {
    QFETCH(int, soundOn);
    QFETCH(int, doneButtonVisible);
    QFETCH(bool, horn);

    ExerciseRun run;
    run.settings.soundOn = common::Int16(soundOn);
    run.settings.doneButtonVisible = common::Int16(doneButtonVisible);
    run.load();
    QCOMPARE(run.form().Command3D1->isHidden(), doneButtonVisible == 0);
    run.form().checkanswer(); // all blank, target 3: not right
    QCOMPARE(run.services.sound.played,
             horn ? QStringList{QStringLiteral("horn.wav")} : QStringList());
    QCOMPARE(run.form().Gauge1->value(), 3);
}

void TestExerciseTasks::placementChecksAtOnceWhenDoneButtonIsHidden_data() {
    QTest::addColumn<bool>("throughFrame");
    QTest::newRow("slot picture") << false;
    QTest::newRow("frame panel") << true;
}

void TestExerciseTasks::placementChecksAtOnceWhenDoneButtonIsHidden() {
    QFETCH(bool, throughFrame);
    ExerciseRun run;
    run.settings.doneButtonVisible = 0;
    run.settings.smallestNumber = 2;
    run.settings.largestNumber = 2;
    run.load();
    exercise::Form1 &form = run.form();
    QVERIFY(form.Command3D1->isHidden());

    const auto placeInto = [&](int slot) { throughFrame ? run.placeFrame(slot) : run.place(slot); };
    run.pick(3);
    placeInto(1);
    QCOMPARE(form.matchCount, 1); // checked, not yet right, and silent
    QCOMPARE(form.pacingCounter, 10);
    run.pick(3);
    placeInto(5);
    QCOMPARE(form.matchCount, 2);
    QCOMPARE(form.pacingCounter, 1);
    QCOMPARE(form.Gauge1->value(), 2);
    QVERIFY(run.services.sound.played.isEmpty());
}

void TestExerciseTasks::placementWaitsForDoneButtonWhenItIsShown() {
    ExerciseRun run;
    run.settings.doneButtonVisible = 1; // shown, and no automatic check
    run.settings.smallestNumber = 1;
    run.settings.largestNumber = 1;
    run.load();
    exercise::Form1 &form = run.form();
    QVERIFY(!form.Command3D1->isHidden());
    run.pick(3);
    run.place(0);
    QCOMPARE(form.pacingCounter, 10);
    QCOMPARE(form.Gauge1->value(), 3);
    run.pressDone();
    QCOMPARE(form.pacingCounter, 1);
    QCOMPARE(form.Gauge1->value(), 2);
}

void TestExerciseTasks::newTaskDrawsFromTheWholeRange() {
    ExerciseRun run;
    run.settings.smallestNumber = 2;
    run.settings.largestNumber = 7;
    run.services.random.setValues({0.0f, 0.0f});
    run.load();
    exercise::Form1 &form = run.form();
    QCOMPARE(run.services.random.reseedCount, 1);
    QCOMPARE(form.targetNumber, 2);
    QCOMPARE(form.Label1->text(), QStringLiteral("2"));
    QCOMPARE(form.Image1->picture().handle(), run.paletteHandle(0));

    const float nearOne = std::nextafter(1.0f, 0.0f);
    run.services.random.setValues({nearOne, nearOne});
    form.newtask();
    QCOMPARE(run.services.random.reseedCount, 2); // reseeded before every draw
    QCOMPARE(form.targetNumber, 7);
    QCOMPARE(form.Label1->text(), QStringLiteral("7"));
    QCOMPARE(form.Image1->picture().handle(), run.paletteHandle(8));

    // Every number is reachable: a sixth of the unit interval each.
    run.services.random.setValues({0.5f, 0.0f});
    form.newtask();
    QCOMPARE(form.targetNumber, 5);

    form.smallestNumber = -5;
    form.largestNumber = -5;
    form.newtask();
    QCOMPARE(form.targetNumber, -5);
    QCOMPARE(form.Label1->text(), QStringLiteral("-5"));
}

void TestExerciseTasks::targetPictureIsAlwaysAPalettePosition() {
    ExerciseRun run;
    run.load();
    exercise::Form1 &form = run.form();
    std::array<int, 9> seen{};
    for (int step = 0; step < 1000; ++step) {
        run.services.random.setValues({0.0f, float(step) / 1000.0f});
        form.newtask();
        const std::uint32_t handle = form.Image1->picture().handle();
        QVERIFY(handle != 0);
        int position = -1;
        for (int i = 0; i < 9; ++i) {
            if (run.paletteHandle(i) == handle)
                position = i;
        }
        QVERIFY2(position >= 0, qPrintable(QString::number(step)));
        ++seen[position];
    }
    for (int count : seen)
        QVERIFY(count >= 110 && count <= 112);
}

void TestExerciseTasks::rangeOutside16BitsIsAnError_data() {
    QTest::addColumn<int>("smallest");
    QTest::addColumn<int>("largest");
    QTest::newRow("base below -32768") << -32768 << 5;
    QTest::newRow("span above 32767") << 0 << 32767;
}

void TestExerciseTasks::rangeOutside16BitsIsAnError() {
    QFETCH(int, smallest);
    QFETCH(int, largest);
    ExerciseRun run;
    run.settings.smallestNumber = common::Int16(smallest);
    run.settings.largestNumber = common::Int16(largest);
    run.writeSettings();
    QVERIFY(!run.form().start());
    QCOMPARE(run.services.errors.errors.size(), 1);
    QVERIFY2(run.services.errors.errors.first().contains(QStringLiteral("16-bitars")),
             qPrintable(run.services.errors.errors.first()));
    QVERIFY(!run.form().isVisible());
}

QTEST_MAIN(TestExerciseTasks)
#include "tst_exercisetasks.moc"
