// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "e2e/e2emain.h"
#include "e2e/exercisescreen.h"
#include "e2e/placedwindow.h"
#include "settings/exercisesettings.h"
#include "support/monitorrecorder.h"
#include "support/testfiles.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <QFile>
#include <QScopeGuard>

#include <algorithm>
#include <array>
#include <csignal>
#include <optional>

// The exercise as a child meets it: the real program in a real window, clicked with the pointer,
// heard on the sound server's monitor.
using namespace exercisescreen;

namespace {

// Client-area positions in pixels, from the window's layout.
const QPoint gaugeTop(601, 112);
const QPoint gaugeBottom(601, 440);
const QColor yellowPanel(255, 255, 128);
const QColor gaugeBar(255, 0, 0);
const QColor gaugeBackground(192, 192, 192);
const QString title = QStringLiteral("Tavrinor och  objekt");

struct Options {
    common::Int16 taskCount = 2;
    common::Int16 number = 2;
    bool sound = true;
    bool doneButton = true;
    bool quitButton = true;
    double introSeconds = 0.4;
};

// The order in which the three tones first sound, block by block.
QList<double> tonesInOrder(const QByteArray &samples) {
    QList<double> order;
    const qsizetype block = 400; // 50 ms
    for (qsizetype from = 0; 2 * (from + block) <= samples.size(); from += block) {
        const double loudness = rms(samples, from, block);
        if (loudness < 300)
            continue;
        double best = 0, loudest = 0;
        for (double hz : {introHz, hornHz, praiseHz}) {
            const double p = tonePower(samples, from, block, hz);
            if (p > loudest) {
                loudest = p;
                best = hz;
            }
        }
        // A block that only grazes a cue's cut-off end holds a click, not a tone (a pure tone
        // puts half its power into its own frequency).
        if (loudest < 0.05 * loudness * loudness)
            continue;
        if (order.isEmpty() || order.last() != best)
            order << best;
    }
    return order;
}

// Whether the process has the sound server's client, the wave reader or Qt Multimedia mapped;
// nothing when its map can't be read.
std::optional<bool> mapsSoundLibrary(qint64 pid) {
    const QByteArray maps = readTestFile(QStringLiteral("/proc/%1/maps").arg(pid));
    if (maps.isEmpty())
        return std::nullopt;
    return maps.contains("libpulse") || maps.contains("libsndfile") || maps.contains("Multimedia");
}

// The run of one colour through at, across and down.
QSize colourRun(const QImage &screen, QPoint at, const QColor &colour) {
    const auto same = [&](int x, int y) {
        return screen.rect().contains(x, y) && sameColour(screen.pixelColor(x, y), colour, 4);
    };
    int left = at.x(), right = at.x(), top = at.y(), bottom = at.y();
    while (same(left - 1, at.y()))
        --left;
    while (same(right + 1, at.y()))
        ++right;
    while (same(at.x(), top - 1))
        --top;
    while (same(at.x(), bottom + 1))
        ++bottom;
    return same(at.x(), at.y()) ? QSize(right - left + 1, bottom - top + 1) : QSize();
}

} // namespace

class TestE2EExercise final : public QObject {
    Q_OBJECT

public:
    explicit TestE2EExercise(Desktop &desktop)
        : m_desktop(desktop) {}

private slots:
    void childsWholeRunEndsAfterTheLastTask();
    void hiddenDoneButtonChecksEveryPlacement();
    void hiddenQuitButtonIsNotOnTheScreen();
    void quitButtonEndsAtOnce();
    void quitDuringTheIntroEndsAfterTheMusic();
    void cuesAreHeardInOrder();
    void noCueWithSoundOff();
    void backdropCoversTheScreenAndStaysBehind();
    void missingSettingsFileEndsWithStatusOne();
    void smallScreenShowsTheWholeWindowSmaller_data();
    void smallScreenShowsTheWholeWindowSmaller();
    void aSecondStartBringsTheFirstToTheFront();
    void aCrashedCopyDoesNotHoldItsFolder();

private:
    QString prepareFolder(QTemporaryDir &dir, const Options &options);
    // Waits for the window and returns its client origin on the screen.
    QPoint waitForWindow();
    QColor pixel(QPoint client);
    int targetPosition();
    void answer(int count);

    Desktop &m_desktop;
    QPoint m_origin;
};

QString TestE2EExercise::prepareFolder(QTemporaryDir &dir, const Options &options) {
    const QString folder = dir.path();
    common::ExerciseSettings s;
    s.taskCount = options.taskCount;
    s.smallestNumber = options.number;
    s.largestNumber = options.number;
    s.soundOn = options.sound ? -1 : 0;
    s.doneButtonVisible = options.doneButton ? -1 : 0;
    s.quitButtonVisible = options.quitButton ? -1 : 0;
    QDir().mkpath(folder + QStringLiteral("/bilder"));
    for (int i = 0; i < 9; ++i) {
        const QString name = QStringLiteral("bild%1.ico").arg(i);
        writeTestIcon(folder + QStringLiteral("/bilder/") + name, iconColours[i]);
        s.pictures[i] = common::PictureRef{name, folder + QStringLiteral("/bilder")};
    }
    common::writeExerciseSettings(s, folder + QStringLiteral("/tavrin.ini"));
    writeTestTone(folder + QStringLiteral("/xmusic.wav"), introHz, options.introSeconds, 8000);
    writeTestTone(folder + QStringLiteral("/horn.wav"), hornHz, 0.3, 8000);
    writeTestTone(folder + QStringLiteral("/wow.wav"), praiseHz, 0.3, 8000);
    return folder;
}

QPoint TestE2EExercise::waitForWindow() {
    std::optional<QPoint> origin;
    waitUntil([&] {
        origin = findClientOrigin(Desktop::screenshot(), windowBackground);
        return origin.has_value();
    });
    m_origin = origin.value_or(QPoint(-1, -1));
    return m_origin;
}

QColor TestE2EExercise::pixel(QPoint client) {
    return Desktop::screenshot().pixelColor(m_origin + client);
}

int TestE2EExercise::targetPosition() {
    const QColor shown = pixel(targetPicture);
    for (int i = 0; i < 9; ++i)
        if (sameColour(shown, iconColours[i], 4))
            return i;
    return -1;
}

void TestE2EExercise::answer(int count) {
    const int k = targetPosition();
    QVERIFY2(k >= 0, qPrintable(pixel(targetPicture).name()));
    for (int slot = 0; slot < count; ++slot) {
        Desktop::click(m_origin + palettePicture(k));
        Desktop::click(m_origin + slotPicture(slot * 4));
        QVERIFY(
            waitUntil([&] { return sameColour(pixel(slotPicture(slot * 4)), iconColours[k], 4); }));
    }
}

void TestE2EExercise::childsWholeRunEndsAfterTheLastTask() {
    QTemporaryDir dir;
    Options options;
    options.sound = false;
    ProgramRun run(QStringLiteral(TAVRIN_EXERCISE), prepareFolder(dir, options));
    QVERIFY(waitForWindow().x() >= 0);
    QVERIFY(sameColour(pixel(gaugeTop), gaugeBar));

    answer(2);
    Desktop::click(m_origin + doneButton);
    // One of two tasks left: the gauge's upper half turns grey, the lower stays red.
    QVERIFY(waitUntil([&] { return sameColour(pixel(gaugeTop), gaugeBackground); }));
    QVERIFY(sameColour(pixel(gaugeBottom), gaugeBar));
    // The praise phase clears the slots for the next task.
    QVERIFY(waitUntil([&] {
        const QColor slot = pixel(slotPicture(0));
        for (const QColor &c : iconColours)
            if (sameColour(slot, c, 4))
                return false;
        return true;
    }));
    QVERIFY(run.isRunning());

    answer(2);
    Desktop::click(m_origin + doneButton);
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.exitCode(), 0);
}

void TestE2EExercise::hiddenDoneButtonChecksEveryPlacement() {
    QTemporaryDir dir;
    Options options;
    options.sound = false;
    options.doneButton = false;
    options.taskCount = 1;
    options.number = 1;
    ProgramRun run(QStringLiteral(TAVRIN_EXERCISE), prepareFolder(dir, options));
    QVERIFY(waitForWindow().x() >= 0);
    QVERIFY2(sameColour(pixel(doneButton), yellowPanel), qPrintable(pixel(doneButton).name()));
    answer(1); // the placement itself is checked: right, praise, end
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 0);
}

void TestE2EExercise::hiddenQuitButtonIsNotOnTheScreen() {
    QTemporaryDir dir;
    Options options;
    options.sound = false;
    options.quitButton = false;
    ProgramRun run(QStringLiteral(TAVRIN_EXERCISE), prepareFolder(dir, options));
    QVERIFY(waitForWindow().x() >= 0);
    QVERIFY2(sameColour(pixel(quitButton), windowBackground), qPrintable(pixel(quitButton).name()));
    Desktop::click(m_origin + quitButton);
    QVERIFY(!run.waitForExit(1000));
    // Closing through the frame still ends it, backdrop and all.
    QVERIFY(Desktop::closeWindow(QStringLiteral("Tavrinor och  objekt")));
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 0);
}

void TestE2EExercise::quitButtonEndsAtOnce() {
    QTemporaryDir dir;
    Options options;
    options.sound = false;
    ProgramRun run(QStringLiteral(TAVRIN_EXERCISE), prepareFolder(dir, options));
    QVERIFY(waitForWindow().x() >= 0);
    QVERIFY(!sameColour(pixel(quitButton), windowBackground));
    Desktop::click(m_origin + quitButton);
    QVERIFY(run.waitForExit(5000));
    QCOMPARE(run.exitCode(), 0);
}

void TestE2EExercise::quitDuringTheIntroEndsAfterTheMusic() {
    QTemporaryDir dir;
    Options options;
    options.introSeconds = 2.5;
    MonitorRecorder recorder(m_desktop.pulse().monitorName());
    QVERIFY(recorder.start());
    ProgramRun run(QStringLiteral(TAVRIN_EXERCISE), prepareFolder(dir, options));
    QVERIFY(waitForWindow().x() >= 0);
    QVERIFY(waitUntil(
        [&recorder] { return firstLoudSample(recorder.samples(), 0, 3000).has_value(); }));
    Desktop::click(m_origin + quitButton); // waits until the music has finished
    QVERIFY(run.waitForExit(15000));
    QCOMPARE(run.exitCode(), 0);
    const QByteArray heard = recorder.stop();
    qsizetype loudBlocks = 0;
    for (qsizetype from = 0; 2 * (from + 80) <= heard.size(); from += 80) // 10 ms blocks
        loudBlocks += rms(heard, from, 80) > 500 ? 1 : 0;
    // A quit taken at once would cut the music off within moments of the click.
    QVERIFY2(loudBlocks >= 200, qPrintable(QString::number(loudBlocks)));
}

void TestE2EExercise::cuesAreHeardInOrder() {
    QTemporaryDir dir;
    Options options;
    options.taskCount = 1;
    options.number = 1;
    MonitorRecorder recorder(m_desktop.pulse().monitorName());
    QVERIFY(recorder.start());
    ProgramRun run(QStringLiteral(TAVRIN_EXERCISE), prepareFolder(dir, options));
    QVERIFY(waitForWindow().x() >= 0);
    // Each click comes once the cues so far have been heard to their end.
    const auto heardThenQuiet = [&recorder](const QList<double> &cues) {
        return waitUntil([&] {
            const QByteArray samples = recorder.samples();
            return tonesInOrder(samples) == cues &&
                   rms(samples, std::max<qsizetype>(0, samples.size() / 2 - 800)) < 300;
        });
    };
    QVERIFY(heardThenQuiet({introHz}));
    QVERIFY(mapsSoundLibrary(run.processId()) == true); // opened for the first cue
    Desktop::click(m_origin + doneButton);              // nothing placed: wrong, the horn
    QVERIFY(heardThenQuiet({introHz, hornHz}));
    answer(1);
    Desktop::click(m_origin + doneButton);
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 0);
    const bool inOrder = heardThenQuiet({introHz, hornHz, praiseHz});
    QStringList heard;
    for (double hz : tonesInOrder(recorder.stop()))
        heard << QString::number(hz);
    QVERIFY2(inOrder, qPrintable(heard.join(u' ')));
}

void TestE2EExercise::noCueWithSoundOff() {
    QTemporaryDir dir;
    Options options;
    options.taskCount = 1;
    options.number = 1;
    options.sound = false;
    MonitorRecorder recorder(m_desktop.pulse().monitorName());
    QVERIFY(recorder.start());
    ProgramRun run(QStringLiteral(TAVRIN_EXERCISE), prepareFolder(dir, options));
    QVERIFY(waitForWindow().x() >= 0);
    Desktop::click(m_origin + doneButton);
    answer(1);
    // Past the intro's tick and a wrong check, and the sound libraries were never opened.
    QVERIFY(mapsSoundLibrary(run.processId()) == false);
    Desktop::click(m_origin + doneButton);
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 0);
    const QByteArray heard = recorder.stop();
    QVERIFY(heard.size() > 8000); // the recording ran for the whole run
    QVERIFY2(rms(heard) < 50, qPrintable(QString::number(rms(heard))));
}

void TestE2EExercise::backdropCoversTheScreenAndStaysBehind() {
    QTemporaryDir dir;
    Options options;
    options.sound = false;
    ProgramRun run(QStringLiteral(TAVRIN_EXERCISE), prepareFolder(dir, options));
    QVERIFY(waitForWindow().x() >= 0);
    const QImage screen = Desktop::screenshot();
    for (QPoint corner :
         {QPoint(0, 0), QPoint(screen.width() - 1, 0), QPoint(0, screen.height() - 1),
          QPoint(screen.width() - 1, screen.height() - 1)})
        QCOMPARE(screen.pixelColor(corner), QColor(Qt::black));
    const QColor targetBefore = pixel(targetPicture);

    Desktop::click(QPoint(5, screen.height() - 5));
    // The window still takes the clicks that follow: it stayed in front.
    Desktop::click(m_origin + palettePicture(0));
    Desktop::click(m_origin + slotPicture(0));
    QVERIFY(waitUntil([&] { return sameColour(pixel(slotPicture(0)), iconColours[0], 4); }));
    const std::optional<QPoint> origin = findClientOrigin(Desktop::screenshot(), windowBackground);
    QVERIFY(origin.has_value());
    QCOMPARE(*origin, m_origin);
    QCOMPARE(pixel(targetPicture), targetBefore);
    QVERIFY(run.isRunning());

    QVERIFY(Desktop::closeWindow(QStringLiteral("Tavrinor och  objekt")));
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 0);
    QVERIFY(!Desktop::visibleWindowTitles().contains(QString()));
}

void TestE2EExercise::missingSettingsFileEndsWithStatusOne() {
    QTemporaryDir dir;
    ProgramRun run(QStringLiteral(TAVRIN_EXERCISE), dir.path());
    // The error is shown in a dialog; a person dismisses it.
    QVERIFY(waitUntil(
        [] { return Desktop::visibleWindowTitles().contains(QStringLiteral("tavrin")); }));
    QVERIFY(Desktop::typeInto(QStringLiteral("tavrin"), QStringLiteral("Return")));
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 1);
    QVERIFY2(run.standardError().contains(QStringLiteral("tavrin.ini")),
             qPrintable(run.standardError()));
    QVERIFY(run.standardError().contains(
        QRegularExpression(QStringLiteral("(^|\n)tavrin: .*tavrin\\.ini"))));
}

void TestE2EExercise::smallScreenShowsTheWholeWindowSmaller_data() {
    QTest::addColumn<QSize>("screen");
    QTest::newRow("800 x 480") << QSize(800, 480);
    QTest::newRow("640 x 480") << QSize(640, 480);
}

// A small touch screen: the window is laid out smaller, frame and all on the screen, and works.
void TestE2EExercise::smallScreenShowsTheWholeWindowSmaller() {
    QFETCH(QSize, screen);
    const KeptEnvironment kept;
    Desktop small;
    QVERIFY2(small.start(Desktop::Session::Openbox, screen, false), qPrintable(small.reason()));
    QTemporaryDir dir;
    Options options;
    options.sound = false;
    ProgramRun run(QStringLiteral(TAVRIN_EXERCISE), prepareFolder(dir, options));
    std::optional<PlacedWindow> placed;
    QVERIFY(waitUntil([&] {
        placed = placedWindow(QStringLiteral("Tavrinor och  objekt"));
        return placed.has_value();
    }));
    const QRect client = placed->client;
    QVERIFY2(QRect(QPoint(0, 0), screen).contains(client.marginsAdded(placed->frame)),
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(client.x())
                            .arg(client.y())
                            .arg(client.width())
                            .arg(client.height())));
    // 641 x 460 at full size.
    QVERIFY2(client.width() < 641 && std::abs(client.width() * 460.0 / 641 - client.height()) < 1.5,
             qPrintable(QStringLiteral("%1x%2").arg(client.width()).arg(client.height())));

    // Every place of the window at its scale.
    const double scale = client.width() / 641.0;
    const auto at = [&](QPoint design) {
        return client.topLeft() + QPoint(qRound(design.x() * scale), qRound(design.y() * scale));
    };
    QImage shot;
    QVERIFY(waitUntil([&] {
        shot = small.capture();
        return sameColour(shot.pixelColor(at(palettePicture(8))), iconColours[8], 4);
    }));
    // Each palette picture whole, the 32 x 32 icon at the window's scale.
    for (int i = 0; i < 9; ++i) {
        const QSize shown = colourRun(shot, at(palettePicture(i)), iconColours[i]);
        QVERIFY2(
            std::abs(shown.width() - 32 * scale) <= 1.5 &&
                std::abs(shown.height() - 32 * scale) <= 1.5,
            qPrintable(QStringLiteral("%1: %2x%3").arg(i).arg(shown.width()).arg(shown.height())));
    }

    // A pick and a placing by clicks, as at full size, and the quit button.
    int target = -1;
    for (int i = 0; i < 9; ++i)
        if (sameColour(shot.pixelColor(at(targetPicture)), iconColours[i], 4))
            target = i;
    QVERIFY(target >= 0);
    Desktop::click(at(palettePicture(target)));
    Desktop::click(at(slotPicture(4)));
    QVERIFY(waitUntil([&] {
        return sameColour(small.capture().pixelColor(at(slotPicture(4))), iconColours[target], 4);
    }));
    Desktop::click(at(quitButton));
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 0);
}

// A child who starts the exercise again gets the one that runs, in front of what came up since
// (here the settings tool, which runs beside it in the same folder), and the new start ends.
void TestE2EExercise::aSecondStartBringsTheFirstToTheFront() {
    QTemporaryDir dir;
    Options options;
    options.sound = false;
    const QString folder = prepareFolder(dir, options);
    ProgramRun first(QStringLiteral(TAVRIN_EXERCISE), folder);
    QVERIFY(waitForWindow().x() >= 0);
    ProgramRun settings(QStringLiteral(TAVRIN_SUPERVISOR), folder);
    QVERIFY(
        waitUntil([] { return Desktop::activeWindowTitle() == QStringLiteral("Varnelkontor"); }));
    QVERIFY(waitUntil([&] { return !sameColour(pixel(gaugeTop), gaugeBar); }));

    ProgramRun second(QStringLiteral(TAVRIN_EXERCISE), folder);
    QVERIFY(second.waitForExit(10000));
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(waitUntil([] { return Desktop::activeWindowTitle() == title; }));
    QVERIFY(waitUntil([&] { return sameColour(pixel(gaugeTop), gaugeBar); }));
    QVERIFY(first.isRunning());
    QVERIFY(settings.isRunning());
    QCOMPARE(Desktop::visibleWindowTitles().count(title), 1);
}

// However the first copy ended, the next start in its folder runs; the folder may be read-only.
void TestE2EExercise::aCrashedCopyDoesNotHoldItsFolder() {
    QTemporaryDir dir;
    Options options;
    options.sound = false;
    const QString folder = prepareFolder(dir, options);
    const QFile::Permissions writable = QFile::permissions(folder);
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const auto restore = qScopeGuard([&] { QFile::setPermissions(folder, writable); });
    ProgramRun crashed(QStringLiteral(TAVRIN_EXERCISE), folder);
    QVERIFY(waitForWindow().x() >= 0);
    QCOMPARE(::kill(pid_t(crashed.processId()), SIGKILL), 0);
    QVERIFY(crashed.waitForExit(10000));
    QVERIFY(waitUntil([] { return !Desktop::visibleWindowTitles().contains(title); }));

    ProgramRun next(QStringLiteral(TAVRIN_EXERCISE), folder);
    QVERIFY(waitUntil([] { return Desktop::visibleWindowTitles().contains(title); }));
    QVERIFY(waitForWindow().x() >= 0);
    Desktop::click(m_origin + quitButton);
    QVERIFY(next.waitForExit(5000));
    QCOMPARE(next.exitCode(), 0);
}

TAVRIN_E2E_MAIN(TestE2EExercise)
#include "tst_e2e_exercise.moc"
