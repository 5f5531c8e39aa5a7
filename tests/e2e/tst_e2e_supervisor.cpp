// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "e2e/e2emain.h"
#include "e2e/placedwindow.h"
#include "settings/exercisesettings.h"
#include "support/settingsprinter.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStyleHints>
#include <QTemporaryDir>

#include <algorithm>
#include <optional>

// The settings tool as the adult meets it: the real program, real clicks, the real file.
namespace {

const QPoint firstChosenRow(416, 50);
const QPoint firstFileRow(248, 50);
const int fileRowHeight = 18; // a 12-point row, in both lists
// Inside "Valda bilder", clear of its border and the focus ring on it.
const QRect chosenRowsArea(376 + 3, 40 + 3, 145 - 6, 182 - 6);
const QColor rowHighlight(48, 140, 198);
const QPoint spara(584, 368);
const QPoint avbryt(584, 424);
const QColor windowBackground(255, 255, 128);
const QString title = QStringLiteral("Varnelkontor");

common::ExerciseSettings settingsFor(const QString &folder) {
    common::ExerciseSettings s;
    s.taskCount = 4;
    s.smallestNumber = 2;
    s.largestNumber = 6;
    s.soundOn = -1;
    s.doneButtonVisible = 0;
    s.quitButtonVisible = -1;
    for (int i = 0; i < 9; ++i)
        s.pictures[i] = common::PictureRef{QStringLiteral("b%1.ico").arg(i), folder};
    return s;
}

// A person's double click with this pause between its two clicks.
void doubleClickPausing(QPoint at, int pause) {
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QStringLiteral("--sync"),
                       QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
                       QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("--delay"),
                       QString::number(pause), QStringLiteral("1")});
}

// The bytes the settings tool writes for these settings.
QByteArray iniBytes(const common::ExerciseSettings &s) {
    QByteArray bytes;
    for (const int number : {s.taskCount, s.smallestNumber, s.largestNumber, s.soundOn,
                             s.doneButtonVisible, s.quitButtonVisible})
        bytes += QByteArray::number(number) + "\r\n";
    for (const common::PictureRef &picture : s.pictures)
        bytes +=
            '"' + picture.fileName.toUtf8() + "\"\r\n\"" + picture.directory.toUtf8() + "\"\r\n";
    return bytes;
}

} // namespace

class TestE2ESupervisor final : public QObject {
    Q_OBJECT

public:
    explicit TestE2ESupervisor(Desktop &desktop)
        : m_desktop(desktop) {}

private slots:
    void saveWritesTheSameBytesBack();
    void saveWithEightPicturesIsRefused();
    void removeAndAddByDoubleClicks();
    void aChosenPictureThatIsGoneIsReplaced();
    void cancelWritesNothing();
    void closingThroughTheFrameWritesNothing();
    void missingSettingsFileStartsAFreshOne();
    void cancelOnAFreshStartWritesNothing();
    void maximisingMovesNoControl();
    void smallScreenShowsTheWholeWindowSmaller_data();
    void smallScreenShowsTheWholeWindowSmaller();
    void aSecondStartBringsTheFirstToTheFront();

private:
    QString prepareFolder(QTemporaryDir &dir, bool withSettings = true);
    bool waitForWindow();
    bool dismissNotice();
    QImage chosenRows() const;
    bool waitForChosenRowsChange(const QImage &before);
    QString iniPath() const { return m_folder + QStringLiteral("/tavrin.ini"); }

    Desktop &m_desktop;
    QString m_folder;
    QPoint m_origin;
};

QString TestE2ESupervisor::prepareFolder(QTemporaryDir &dir, bool withSettings) {
    m_folder = QFileInfo(dir.path()).canonicalFilePath();
    for (int i = 0; i < 9; ++i)
        writeTestIcon(m_folder + QStringLiteral("/b%1.ico").arg(i),
                      QColor::fromHsv(i * 40, 200, 200));
    writeTestIcon(m_folder + QStringLiteral("/a-ny.ico"), Qt::darkBlue);
    if (withSettings)
        common::writeExerciseSettings(settingsFor(m_folder), iniPath());
    return m_folder;
}

bool TestE2ESupervisor::waitForWindow() {
    std::optional<QPoint> origin;
    const bool shown = waitUntil([&] {
        origin = findClientOrigin(Desktop::screenshot(), windowBackground);
        return origin.has_value() && Desktop::visibleWindowTitles().contains(title);
    });
    m_origin = origin.value_or(QPoint());
    return shown;
}

// The notice of a missing settings file carries the program's name; the backdrop has no caption.
bool TestE2ESupervisor::dismissNotice() {
    const QString name = QStringLiteral("tavrinset");
    return waitUntil([&name] { return Desktop::visibleWindowTitles().count(name) == 1; }) &&
           Desktop::typeInto(name, QStringLiteral("Return"));
}

QImage TestE2ESupervisor::chosenRows() const {
    return Desktop::screenshot().copy(chosenRowsArea.translated(m_origin));
}

// The chosen rows changed (a row was added or removed) and none is selected, which a removal
// leaves behind and which a double click's first click alone never does.
bool TestE2ESupervisor::waitForChosenRowsChange(const QImage &before) {
    return waitUntil([&] {
        const QImage now = chosenRows();
        if (now == before)
            return false;
        for (int y = 0; y < now.height(); ++y)
            for (int x = 0; x < now.width(); ++x)
                if (sameColour(now.pixelColor(x, y), rowHighlight, 24))
                    return false;
        return true;
    });
}

void TestE2ESupervisor::saveWritesTheSameBytesBack() {
    QTemporaryDir dir;
    ProgramRun run(QStringLiteral(TAVRIN_SUPERVISOR), prepareFolder(dir));
    const QByteArray before = readTestFile(iniPath());
    QVERIFY(waitForWindow());
    Desktop::click(m_origin + spara);
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 0);
    QCOMPARE(readTestFile(iniPath()), before);
}

void TestE2ESupervisor::saveWithEightPicturesIsRefused() {
    QTemporaryDir dir;
    ProgramRun run(QStringLiteral(TAVRIN_SUPERVISOR), prepareFolder(dir));
    const QByteArray before = readTestFile(iniPath());
    QVERIFY(waitForWindow());
    const qsizetype windows = Desktop::visibleWindowTitles().size();
    const QImage shown = chosenRows();
    Desktop::doubleClick(m_origin + firstChosenRow);
    QVERIFY(waitForChosenRowsChange(shown));
    Desktop::click(m_origin + spara);
    // The message box comes up over the window, and the program goes on.
    QVERIFY(waitUntil([&] { return Desktop::visibleWindowTitles().size() > windows; }));
    QVERIFY(run.isRunning());
    QCOMPARE(readTestFile(iniPath()), before);
    QVERIFY(Desktop::typeInto(QStringLiteral("tavrinset"), QStringLiteral("Return")));
    QVERIFY(waitUntil([&] { return Desktop::visibleWindowTitles().size() == windows; }));
    QVERIFY(run.isRunning());
    // The window takes clicks again once it is active after the box.
    QVERIFY(
        waitUntil([] { return Desktop::activeWindowTitle() == QStringLiteral("Varnelkontor"); }));
    Desktop::click(m_origin + avbryt);
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 0);
    QCOMPARE(readTestFile(iniPath()), before);
}

void TestE2ESupervisor::removeAndAddByDoubleClicks() {
    QTemporaryDir dir;
    ProgramRun run(QStringLiteral(TAVRIN_SUPERVISOR), prepareFolder(dir));
    QVERIFY(waitForWindow());
    QImage before = chosenRows();
    Desktop::doubleClick(m_origin + firstChosenRow);
    QVERIFY(waitForChosenRowsChange(before));
    before = chosenRows();
    Desktop::doubleClick(m_origin + firstFileRow);
    QVERIFY(waitForChosenRowsChange(before));
    Desktop::click(m_origin + spara);
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 0);

    const common::ExerciseSettings saved = common::readExerciseSettings(iniPath());
    common::ExerciseSettings expected = settingsFor(m_folder);
    std::rotate(expected.pictures.begin(), expected.pictures.begin() + 1, expected.pictures.end());
    expected.pictures[8] = common::PictureRef{QStringLiteral("a-ny.ico"), m_folder};
    QCOMPARE(saved, expected);
}

// What brings a teacher to the settings tool: a chosen picture has gone or broken, and the
// exercise refuses to start. Its row goes with a double click at any pace a person clicks, and
// another picture takes its place.
void TestE2ESupervisor::aChosenPictureThatIsGoneIsReplaced() {
    QTemporaryDir dir;
    prepareFolder(dir);
    QVERIFY(QFile::remove(m_folder + QStringLiteral("/b0.ico")));
    writeTestFile(m_folder + QStringLiteral("/b4.ico"), "ingen bild");
    QVERIFY(QFile::remove(m_folder + QStringLiteral("/b8.ico")));
    for (const char *name : {"a-ny2.ico", "a-ny3.ico"})
        writeTestIcon(m_folder + u'/' + QLatin1String(name), Qt::darkGreen);
    ProgramRun run(QStringLiteral(TAVRIN_SUPERVISOR), m_folder);
    QVERIFY(waitForWindow());
    const qsizetype windows = Desktop::visibleWindowTitles().size();

    // b0 at row 0, then b4 at row 3 and b8 at row 6, each removal moving the rest up; quick,
    // middling and slow double clicks. The slowest stays at half the double-click interval, so
    // that a busy machine can't stretch it into two clicks.
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    const std::array<std::pair<int, double>, 3> removals{{{0, 0.1}, {3, 0.3}, {6, 0.5}}};
    for (const auto &[row, pace] : removals) {
        const QImage before = chosenRows();
        doubleClickPausing(m_origin + firstChosenRow + QPoint(0, fileRowHeight * row),
                           int(interval * pace));
        QVERIFY2(waitForChosenRowsChange(before), qPrintable(QString::number(row)));
    }
    for (int row = 0; row < 3; ++row) {
        const QImage before = chosenRows();
        Desktop::doubleClick(m_origin + firstFileRow + QPoint(0, fileRowHeight * row));
        QVERIFY2(waitForChosenRowsChange(before), qPrintable(QString::number(row)));
    }
    // No message box came up on the way.
    QCOMPARE(Desktop::visibleWindowTitles().size(), windows);
    Desktop::click(m_origin + spara);
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 0);

    common::ExerciseSettings expected = settingsFor(m_folder);
    for (int i = 0; i < 6; ++i)
        expected.pictures[i] = {QStringLiteral("b%1.ico").arg(i < 3 ? i + 1 : i + 2), m_folder};
    expected.pictures[6] = {QStringLiteral("a-ny.ico"), m_folder};
    expected.pictures[7] = {QStringLiteral("a-ny2.ico"), m_folder};
    expected.pictures[8] = {QStringLiteral("a-ny3.ico"), m_folder};
    QCOMPARE(readTestFile(iniPath()), iniBytes(expected));
}

void TestE2ESupervisor::cancelWritesNothing() {
    QTemporaryDir dir;
    ProgramRun run(QStringLiteral(TAVRIN_SUPERVISOR), prepareFolder(dir));
    const QByteArray before = readTestFile(iniPath());
    const QDateTime modified = QFileInfo(iniPath()).lastModified();
    QVERIFY(waitForWindow());
    Desktop::doubleClick(m_origin + firstChosenRow);
    Desktop::click(m_origin + avbryt);
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 0);
    QCOMPARE(readTestFile(iniPath()), before);
    QCOMPARE(QFileInfo(iniPath()).lastModified(), modified);
}

void TestE2ESupervisor::closingThroughTheFrameWritesNothing() {
    QTemporaryDir dir;
    ProgramRun run(QStringLiteral(TAVRIN_SUPERVISOR), prepareFolder(dir));
    const QByteArray before = readTestFile(iniPath());
    QVERIFY(waitForWindow());
    Desktop::doubleClick(m_origin + firstChosenRow);
    QVERIFY(Desktop::closeWindow(title));
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 0);
    QCOMPARE(readTestFile(iniPath()), before);
    // The backdrop went with the window.
    QVERIFY(waitUntil([] { return Desktop::visibleWindowTitles().isEmpty(); }));
}

void TestE2ESupervisor::missingSettingsFileStartsAFreshOne() {
    QTemporaryDir dir;
    ProgramRun run(QStringLiteral(TAVRIN_SUPERVISOR), prepareFolder(dir, false));
    // A short notice first says that "Spara" writes a new file.
    QVERIFY(dismissNotice());
    QVERIFY(waitForWindow());
    QVERIFY(run.isRunning());

    // Nine double clicks down the file list choose the first nine icons.
    for (int row = 0; row < 9; ++row) {
        const QImage before = chosenRows();
        Desktop::doubleClick(m_origin + firstFileRow + QPoint(0, fileRowHeight * row));
        QVERIFY2(waitForChosenRowsChange(before), qPrintable(QString::number(row)));
    }
    Desktop::click(m_origin + spara);
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 0);

    // Everything else keeps the values the window starts with.
    const common::ExerciseSettings saved = common::readExerciseSettings(iniPath());
    std::array<common::PictureRef, 9> pictures;
    pictures[0] = {QStringLiteral("a-ny.ico"), m_folder};
    for (int i = 1; i < 9; ++i)
        pictures[i] = {QStringLiteral("b%1.ico").arg(i - 1), m_folder};
    QCOMPARE(saved, designValuesWith(pictures));
}

void TestE2ESupervisor::cancelOnAFreshStartWritesNothing() {
    QTemporaryDir dir;
    ProgramRun run(QStringLiteral(TAVRIN_SUPERVISOR), prepareFolder(dir, false));
    QVERIFY(dismissNotice());
    QVERIFY(waitForWindow());
    Desktop::click(m_origin + avbryt);
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 0);
    QVERIFY(!QFile::exists(iniPath()));
}

void TestE2ESupervisor::maximisingMovesNoControl() {
    QTemporaryDir dir;
    ProgramRun run(QStringLiteral(TAVRIN_SUPERVISOR), prepareFolder(dir));
    QVERIFY(waitForWindow());
    // The pointer on the backdrop, where no control can show it hovering.
    QCOMPARE(
        QProcess::execute(QStringLiteral("xdotool"),
                          {QStringLiteral("mousemove"), QStringLiteral("0"), QStringLiteral("0")}),
        0);
    const QSize design(629, 452);
    QImage before = Desktop::screenshot().copy(QRect(m_origin, design));
    QVERIFY(waitUntil([&] {
        const QImage now = Desktop::screenshot().copy(QRect(m_origin, design));
        return std::exchange(before, now) == now;
    }));
    QCOMPARE(QProcess::execute(QStringLiteral("wmctrl"),
                               {QStringLiteral("-r"), title, QStringLiteral("-b"),
                                QStringLiteral("add,maximized_vert,maximized_horz")}),
             0);
    // The window grows to the screen's far corner, and shows the same controls in the same
    // places from its new corner.
    std::optional<QPoint> origin;
    QImage screen;
    QVERIFY(waitUntil([&] {
        screen = Desktop::screenshot();
        origin = findClientOrigin(screen, windowBackground);
        return origin && *origin != m_origin &&
               sameColour(screen.pixelColor(screen.width() - 2, screen.height() - 2),
                          windowBackground) &&
               screen.copy(QRect(*origin, design)) == before;
    }));
    Desktop::click(*origin + avbryt);
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 0);
}

void TestE2ESupervisor::smallScreenShowsTheWholeWindowSmaller_data() {
    QTest::addColumn<QSize>("screen");
    QTest::newRow("800 x 480") << QSize(800, 480);
    QTest::newRow("640 x 480") << QSize(640, 480);
}

// A small touch screen: the window is laid out smaller only where it must be, frame and all on
// the screen, and its controls work.
void TestE2ESupervisor::smallScreenShowsTheWholeWindowSmaller() {
    QFETCH(QSize, screen);
    const KeptEnvironment kept;
    Desktop small;
    QVERIFY2(small.start(Desktop::Session::Openbox, screen, false), qPrintable(small.reason()));
    QTemporaryDir dir;
    ProgramRun run(QStringLiteral(TAVRIN_SUPERVISOR), prepareFolder(dir));
    const QByteArray before = readTestFile(iniPath());
    std::optional<PlacedWindow> placed;
    QVERIFY(waitUntil([&] {
        placed = placedWindow(title);
        return placed.has_value();
    }));
    const auto [client, frame] = *placed;
    QVERIFY2(QRect(QPoint(0, 0), screen).contains(client.marginsAdded(frame)),
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(client.x())
                            .arg(client.y())
                            .arg(client.width())
                            .arg(client.height())));
    // 629 x 452 at full size, the size it keeps where it fits with its frame.
    QVERIFY(client.width() <= 629);
    QVERIFY2(std::abs(client.width() * 452.0 / 629 - client.height()) < 1.5,
             qPrintable(QStringLiteral("%1x%2").arg(client.width()).arg(client.height())));

    // A click on the first chosen picture previews it, whole, at the window's scale.
    const double scale = client.width() / 629.0;
    const auto at = [&](QPoint design) {
        return client.topLeft() + QPoint(qRound(design.x() * scale), qRound(design.y() * scale));
    };
    const QColor first = QColor::fromHsv(0, 200, 200);
    const QPoint preview(554, 58);
    // Drawn, then clicked.
    QVERIFY(waitUntil([&] {
        return sameColour(small.capture().pixelColor(at(QPoint(4, 448))), windowBackground);
    }));
    Desktop::click(at(firstChosenRow));
    QImage shot;
    QVERIFY(waitUntil([&] {
        shot = small.capture();
        return sameColour(shot.pixelColor(at(preview)), first, 4);
    }));
    const auto same = [&](int x, int y) {
        return shot.rect().contains(x, y) && sameColour(shot.pixelColor(x, y), first, 4);
    };
    const QPoint middle = at(preview);
    int left = middle.x(), right = middle.x(), top = middle.y(), bottom = middle.y();
    while (same(left - 1, middle.y()))
        --left;
    while (same(right + 1, middle.y()))
        ++right;
    while (same(middle.x(), top - 1))
        --top;
    while (same(middle.x(), bottom + 1))
        ++bottom;
    const QSize shown(right - left + 1, bottom - top + 1);
    QVERIFY2(std::abs(shown.width() - 32 * scale) <= 1.5 &&
                 std::abs(shown.height() - 32 * scale) <= 1.5,
             qPrintable(QStringLiteral("%1x%2").arg(shown.width()).arg(shown.height())));
    Desktop::click(at(avbryt));
    QVERIFY(run.waitForExit(10000));
    QCOMPARE(run.exitCode(), 0);
    QCOMPARE(readTestFile(iniPath()), before);
}

// Two settings tools on one folder would lose the first one's choices: a second start brings
// the first to the front, here in front of the exercise started beside it, and ends.
void TestE2ESupervisor::aSecondStartBringsTheFirstToTheFront() {
    QTemporaryDir dir;
    const QString folder = prepareFolder(dir);
    ProgramRun first(QStringLiteral(TAVRIN_SUPERVISOR), folder);
    QVERIFY(waitForWindow());
    const QPoint corner = m_origin + QPoint(4, 4);
    const auto cornerShows = [&corner] {
        return sameColour(Desktop::screenshot().pixelColor(corner), windowBackground);
    };
    const QImage nine = chosenRows();
    Desktop::doubleClick(m_origin + firstChosenRow);
    QVERIFY(waitForChosenRowsChange(nine));
    ProgramRun exercise(QStringLiteral(TAVRIN_EXERCISE), folder);
    QVERIFY(waitUntil(
        [] { return Desktop::activeWindowTitle() == QStringLiteral("Tavrinor och  objekt"); }));
    QVERIFY(waitUntil([&] { return !cornerShows(); }));

    ProgramRun second(QStringLiteral(TAVRIN_SUPERVISOR), folder);
    QVERIFY(second.waitForExit(10000));
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(waitUntil([] { return Desktop::activeWindowTitle() == title; }));
    QVERIFY(waitUntil(cornerShows));
    QVERIFY(exercise.isRunning());
    // The first goes on with its choices: eight pictures, so "Spara" is refused.
    Desktop::click(m_origin + spara);
    QVERIFY(waitUntil([] { return Desktop::visibleWindowTitles().contains("tavrinset"); }));
    QVERIFY(first.isRunning());
}

TAVRIN_E2E_MAIN(TestE2ESupervisor)
#include "tst_e2e_supervisor.moc"
