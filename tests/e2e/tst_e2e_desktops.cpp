// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "e2e/placedwindow.h"
#include "settings/exercisesettings.h"
#include "support/desktop.h"
#include "support/testfiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRect>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <utility>

// Both programs' windows on the desktops people use: two X11 window managers with different
// stacking rules and a Wayland compositor, headless and with a keyboard and pointer; and GNOME
// Shell and KDE Plasma, each on Wayland (the program natively and through XWayland) and on X11.
// One start of each program on each, and on the full desktops one start without its settings.
namespace {

const QSize screenSize(1280, 800);

// Why this process could not be isolated for the full desktops; empty when it was.
QString isolation;

struct Program {
    QString path;
    QString title;
    QSize client;
    QColor background;
};

const Program exercise{QStringLiteral(TAVRIN_EXERCISE), QStringLiteral("Tavrinor och  objekt"),
                       QSize(641, 460), QColor(128, 255, 255)};
const Program supervisor{QStringLiteral(TAVRIN_SUPERVISOR), QStringLiteral("Varnelkontor"),
                         QSize(629, 452), QColor(255, 255, 128)};

bool key(const QString &keys) {
    return QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), keys}) == 0;
}

QString rootWindow() {
    static const QRegularExpression id(QStringLiteral("Window id: (0x[0-9a-f]+)"));
    return id.match(commandOutput(QStringLiteral("xwininfo"), {QStringLiteral("-root")}))
        .captured(1);
}

QString xProperty(const QString &window, const char *name) {
    return commandOutput(QStringLiteral("xprop"),
                         {QStringLiteral("-id"), window, QString::fromLatin1(name)})
        .trimmed();
}

QRect geometry(const QString &window) {
    return describedGeometry(
        commandOutput(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window}));
}

bool viewable(const QString &window) {
    return commandOutput(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window})
        .contains(QStringLiteral("IsViewable"));
}

qulonglong windowNumber(const QString &window) {
    return window.toULongLong(nullptr, 0);
}

// The clients from bottom to top, as the window manager stacks them.
QList<qulonglong> stacking() {
    const QString line =
        commandOutput(QStringLiteral("xprop"),
                      {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    QList<qulonglong> ids;
    static const QRegularExpression id(QStringLiteral("0x[0-9a-f]+"));
    for (auto it = id.globalMatch(line); it.hasNext();)
        ids << it.next().captured().toULongLong(nullptr, 16);
    return ids;
}

bool inFront(const QString &front, const QString &backdrop) {
    const QList<qulonglong> order = stacking();
    return order.indexOf(windowNumber(front)) > order.indexOf(windowNumber(backdrop)) &&
           order.contains(windowNumber(backdrop));
}

QString activeWindow() {
    return commandOutput(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).trimmed();
}

bool iconic(const QString &window) {
    return xProperty(window, "WM_STATE").contains(QStringLiteral("Iconic"));
}

// Black, sampled every fourth pixel. weston draws the pointer into its screenshots, so there a
// pointer's worth of samples (24 x 24 pixels) may be something else.
bool allBlack(const QImage &screen, const QRect &area, int pointerSamples = 0) {
    int other = 0;
    for (int y = area.top(); y <= area.bottom(); y += 4)
        for (int x = area.left(); x <= area.right(); x += 4)
            if ((screen.pixel(x, y) & 0xFFFFFF) != 0 && ++other > pointerSamples)
                return false;
    return true;
}

constexpr int pointer = 36;

// Everything on the screen that isn't black, leaving out the pointer resting at the right edge.
QRect shownArea(const QImage &screen) {
    QRect area;
    for (int y = 0; y < screen.height(); y += 2)
        for (int x = 0; x < screen.width() - 40; x += 2)
            if ((screen.pixel(x, y) & 0xFFFFFF) != 0)
                area |= QRect(x, y, 2, 2);
    return area;
}

// A message box over area: where rows of its light grey background run at least 100 pixels,
// longer than any such run in the programs' windows.
QRect messageBox(const QImage &screen, const QRect &area) {
    QRect box;
    if (screen.isNull())
        return box;
    for (int y = area.top(); y <= area.bottom(); y += 2) {
        int run = 0;
        for (int x = area.left(); x <= area.right(); ++x) {
            run = sameColour(screen.pixelColor(x, y), QColor(0xEF, 0xEF, 0xEF), 4) ? run + 1 : 0;
            if (run >= 100)
                box |= QRect(x - run + 1, y, run, 2);
        }
    }
    return box;
}

// The screen once the program before has gone from it: on Plasma with its panel shown whole.
QImage screenWithoutProgram(const Desktop &desktop, Desktop::Session session) {
    QImage screen;
    QImage before;
    waitUntil([&] {
        screen = desktop.capture();
        const bool same = std::exchange(before, screen) == screen;
        return !Desktop::isPlasma(session) || (same && Desktop::panelShown(screen));
    });
    return screen;
}

// Where Plasma's panel differs between two screenshots, in its left part (the clock is at the
// right): a new task bar entry.
QRect panelChange(const QImage &before, const QImage &after) {
    QRect change;
    const int top = screenSize.height() - 44;
    for (int y = top; y < screenSize.height(); ++y)
        for (int x = 0; x < screenSize.width() * 2 / 3; ++x)
            if (!sameColour(before.pixelColor(x, y), after.pixelColor(x, y), 24))
                change |= QRect(x, y, 1, 1);
    return change;
}

// Calls one of KWin's shortcuts by name, through its shortcut service, as its keys would.
bool kwinShortcut(const QString &name) {
    return QProcess::execute(QStringLiteral("dbus-send"),
                             {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                              QStringLiteral("--dest=org.kde.kglobalaccel"),
                              QStringLiteral("/component/kwin"),
                              QStringLiteral("org.kde.kglobalaccel.Component.invokeShortcut"),
                              QStringLiteral("string:") + name}) == 0;
}

QPoint centredOrigin(QSize client) {
    return QPoint((screenSize.width() - client.width()) / 2,
                  (screenSize.height() - client.height()) / 2);
}

// The window's client area at origin is centred on the screen, black to its left, under a caption
// bar of at least 12 pixels, whose height goes to captionHeight.
void verifyCentredUnderCaption(const QImage &screen, QPoint origin, QSize clientSize,
                               int &captionHeight) {
    QVERIFY2((origin - centredOrigin(clientSize)).manhattanLength() <= 2,
             qPrintable(QStringLiteral("at %1,%2").arg(origin.x()).arg(origin.y())));
    const QRect client(origin, clientSize);
    QVERIFY(allBlack(screen, QRect(0, 0, client.left() - 1, screenSize.height()), pointer));
    int captionTop = client.top() - 1;
    while (captionTop > 0 && (screen.pixel(client.left() + 2, captionTop - 1) & 0xFFFFFF) != 0)
        --captionTop;
    captionHeight = client.top() - captionTop;
    QVERIFY2(captionHeight >= 12, qPrintable(QString::number(captionHeight)));
}

} // namespace

class TestE2EDesktops final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void windows_data();
    void windows();
    void windowShowsWholeAtTwiceTheScale();
    void fullDesktops_data();
    void fullDesktops();

private:
    static bool findWindows(ProgramRun &run, const Program &program, QString &front,
                            QString &backdrop);
    void checkX11(Desktop::Session session, const Program &program);
    void checkWayland(Desktop::Session session, const Program &program);
    void checkStartupError(Desktop::Session session, const Program &program);
    void checkMessagesOverWindow(Desktop::Session session);
    void answerMessage(Desktop::Session session, const Program &program, ProgramRun &run,
                       const QRect &over, const QString &suffix,
                       const std::function<QRect()> &shown = {});
    void checkNested(Desktop::Session session, const Program &program);
    bool takesKeys(const QRect &client);
    QString stillRunning(Desktop::Session session, const Program &program, ProgramRun &run);
    bool minimise(Desktop::Session session);
    bool bringBack(Desktop::Session session, const QImage &panel, bool byTaskBar);
    void keepScreenshot(const QImage &screen, Desktop::Session session, const Program &program,
                        const QString &suffix = {});

    QTemporaryDir m_dir;
    QString m_folder;
    Desktop *m_desktop = nullptr;
};

void TestE2EDesktops::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_folder = QFileInfo(m_dir.path()).canonicalFilePath();
    common::ExerciseSettings settings;
    settings.taskCount = 3;
    settings.smallestNumber = 1;
    settings.largestNumber = 3;
    settings.soundOn = 0;
    settings.doneButtonVisible = -1;
    settings.quitButtonVisible = -1;
    for (int i = 0; i < 9; ++i) {
        settings.pictures[i] = common::PictureRef{QStringLiteral("b%1.ico").arg(i), m_folder};
        writeTestIcon(m_folder + QStringLiteral("/b%1.ico").arg(i),
                      QColor::fromHsv(i * 40, 200, 200));
    }
    common::writeExerciseSettings(settings, m_folder + QStringLiteral("/tavrin.ini"));
}

void TestE2EDesktops::windows_data() {
    QTest::addColumn<Desktop::Session>("session");
    for (const Desktop::Session session :
         {Desktop::Session::Openbox, Desktop::Session::Xfwm4, Desktop::Session::Weston,
          Desktop::Session::WestonWithSeat})
        QTest::newRow(qPrintable(Desktop::name(session))) << session;
}

void TestE2EDesktops::windows() {
    QFETCH(Desktop::Session, session);
    Desktop desktop;
    m_desktop = &desktop;
    if (!desktop.start(session, screenSize, false))
        QFAIL(qPrintable(desktop.reason()));
    for (const Program *program : {&exercise, &supervisor}) {
        if (session == Desktop::Session::Weston || session == Desktop::Session::WestonWithSeat)
            checkWayland(session, *program);
        else
            checkX11(session, *program);
        if (QTest::currentTestFailed())
            return;
    }
}

bool TestE2EDesktops::findWindows(ProgramRun &run, const Program &program, QString &front,
                                  QString &backdrop) {
    QStringList windows;
    const bool both = waitUntil(
        [&] {
            windows = commandOutput(QStringLiteral("xdotool"),
                                    {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                     QStringLiteral("--pid"), QString::number(run.processId())})
                          .split(u'\n', Qt::SkipEmptyParts);
            return windows.size() == 2;
        },
        30000);
    if (!both)
        return false;
    const auto titled = [&](const QString &w) {
        return xProperty(w, "_NET_WM_NAME").contains(program.title);
    };
    front = titled(windows[0]) ? windows[0] : windows[1];
    backdrop = front == windows[0] ? windows[1] : windows[0];
    return titled(front);
}

// At 200 % the exercise's window would be 1282 pixels wide; on a 1280 x 800 screen it scales
// itself down and shows whole, frame included.
void TestE2EDesktops::windowShowsWholeAtTwiceTheScale() {
    Desktop desktop;
    m_desktop = &desktop;
    if (!desktop.start(Desktop::Session::Openbox, screenSize, false))
        QFAIL(qPrintable(desktop.reason()));
    QCOMPARE(QProcess::execute(QStringLiteral("xprop"),
                               {QStringLiteral("-root"), QStringLiteral("-f"),
                                QStringLiteral("RESOURCE_MANAGER"), QStringLiteral("8s"),
                                QStringLiteral("-set"), QStringLiteral("RESOURCE_MANAGER"),
                                QStringLiteral("Xft.dpi:\t192\n")}),
             0);
    ProgramRun run(exercise.path, m_folder);
    QString front;
    QString backdrop;
    QVERIFY2(findWindows(run, exercise, front, backdrop), qPrintable(run.standardError()));
    const QRect client = geometry(front);
    QVERIFY2(client.width() > exercise.client.width() * 3 / 2,
             qPrintable(QString::number(client.width())));
    // The frame's left, right, top and bottom.
    const QStringList extents = xProperty(front, "_NET_FRAME_EXTENTS").section(u'=', 1).split(u',');
    QCOMPARE(extents.size(), 4);
    const QRect framed = client.adjusted(-extents[0].toInt(), -extents[2].toInt(),
                                         extents[1].toInt(), extents[3].toInt());
    QVERIFY2(QRect(QPoint(0, 0), screenSize).contains(framed),
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(framed.x())
                            .arg(framed.y())
                            .arg(framed.width())
                            .arg(framed.height())));
}

void TestE2EDesktops::checkX11(Desktop::Session session, const Program &program) {
    // The panel without the program, to find its task bar entry by.
    const QImage panel = screenWithoutProgram(*m_desktop, session);
    ProgramRun run(program.path, m_folder);
    QString front;
    QString backdrop;
    if (!findWindows(run, program, front, backdrop)) {
        keepScreenshot(m_desktop->capture(), session, program);
        QFAIL(qPrintable(
            QStringLiteral("%1; windows: %2; standard error: %3")
                .arg(run.isRunning() ? QStringLiteral("running") : QStringLiteral("exited"),
                     commandOutput(QStringLiteral("wmctrl"), {QStringLiteral("-lp")}),
                     run.standardError())));
    }

    // The backdrop: full screen over any panel, out of task bars and pagers, without a caption.
    const QString states = xProperty(backdrop, "_NET_WM_STATE");
    for (const char *state :
         {"_NET_WM_STATE_FULLSCREEN", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"})
        QVERIFY2(states.contains(QLatin1String(state)), qPrintable(states));
    // Out of KWin's window switcher too (the others keep only the states they know).
    if (Desktop::isPlasma(session))
        QVERIFY2(states.contains(QLatin1String("_KDE_NET_WM_STATE_SKIP_SWITCHER")),
                 qPrintable(states));
    QCOMPARE(geometry(backdrop), QRect(QPoint(0, 0), screenSize));
    QCOMPARE(xProperty(backdrop, "_NET_WM_NAME"), QStringLiteral("_NET_WM_NAME(UTF8_STRING) ="));

    // The window: the backdrop's transient but a main window with its own task bar entry,
    // centred, active and in front.
    QVERIFY2(!xProperty(front, "_NET_WM_STATE").contains(QStringLiteral("SKIP_TASKBAR")),
             qPrintable(xProperty(front, "_NET_WM_STATE")));
    // The program marks it after showing it, so the window manager may show it first.
    // Transient for its program's group, which the root window stands for: task bars that fold
    // a transient into its parent still list it.
    const QString root = rootWindow();
    QVERIFY2(waitUntil([&] { return xProperty(front, "WM_TRANSIENT_FOR").endsWith(root); }),
             qPrintable(xProperty(front, "WM_TRANSIENT_FOR") + QStringLiteral(" root ") + root));
    QVERIFY(waitUntil([&] { return activeWindow() == front && inFront(front, backdrop); }));
    const QRect placed = geometry(front);
    QCOMPARE(placed.size(), program.client);
    QVERIFY2((placed.topLeft() - centredOrigin(program.client)).manhattanLength() <= 2,
             qPrintable(QStringLiteral("at %1,%2").arg(placed.x()).arg(placed.y())));
    // The program paints its window in its own time after the window manager shows it.
    const QPoint inside(placed.left() + 2, placed.bottom() - 2);
    QImage screen;
    const bool painted = waitUntil([&] {
        screen = m_desktop->capture();
        return !screen.isNull() && sameColour(screen.pixelColor(inside), program.background);
    });
    keepScreenshot(screen, Desktop::Session(session), program);
    QVERIFY2(painted, qPrintable(screen.isNull() ? QStringLiteral("no screenshot")
                                                 : screen.pixelColor(inside).name()));
    QVERIFY(allBlack(screen, QRect(0, 0, screenSize.width(), 40)));

    // A click on the backdrop keeps the window in front and active, and makes it active again
    // when another program's window had the keyboard.
    Desktop::click(QPoint(20, screenSize.height() / 2));
    QVERIFY(waitUntil([&] { return activeWindow() == front && inFront(front, backdrop); }));
    {
        QProcess other;
        other.start(QStringLiteral("xmessage"), {QStringLiteral("-center"), QStringLiteral("x")});
        QVERIFY(waitUntil([&] {
            return !activeWindow().isEmpty() && activeWindow() != front &&
                   activeWindow() != backdrop;
        }));
        const QString before = activeWindow();
        // Beside the window, away from the corners and edges, where a panel may show now.
        Desktop::click(QPoint(20, screenSize.height() / 2));
        const bool back = waitUntil([&] { return activeWindow() == front; });
        other.kill();
        other.waitForFinished(2000);
        QVERIFY2(back,
                 qPrintable(QStringLiteral("active %1 (%2), before %3 (%4), window %5, "
                                           "backdrop %6")
                                .arg(activeWindow(), xProperty(activeWindow(), "WM_CLASS"), before,
                                     xProperty(before, "WM_CLASS"), front, backdrop)));
    }

    // Minimised, the window comes back: by a click on the backdrop where the window manager
    // leaves it on the screen, from the task bar where it takes the backdrop along.
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), front});
    QVERIFY(waitUntil([&] { return iconic(front); }));
    if (viewable(backdrop)) {
        Desktop::click(QPoint(20, screenSize.height() / 2));
    } else {
        QProcess::execute(QStringLiteral("wmctrl"),
                          {QStringLiteral("-i"), QStringLiteral("-a"), front});
    }
    QVERIFY(waitUntil([&] {
        return !iconic(front) && viewable(backdrop) && activeWindow() == front &&
               inFront(front, backdrop);
    }));

    // The full desktops' own ways back: GNOME's window switcher, Plasma's task bar and switcher.
    if (Desktop::isGnome(session) || Desktop::isPlasma(session)) {
        for (const bool byTaskBar : {true, false}) {
            if (byTaskBar && !Desktop::isPlasma(session))
                continue;
            QVERIFY(minimise(session));
            QVERIFY(waitUntil([&] { return iconic(front); }));
            QVERIFY(bringBack(session, panel, byTaskBar));
            QVERIFY2(waitUntil([&] {
                         return !iconic(front) && activeWindow() == front &&
                                inFront(front, backdrop);
                     }),
                     qPrintable(QStringLiteral("%1 iconic %2 active %3; backdrop %4; %5")
                                    .arg(byTaskBar ? QStringLiteral("task bar")
                                                   : QStringLiteral("switcher"))
                                    .arg(iconic(front))
                                    .arg(activeWindow(), xProperty(backdrop, "_NET_WM_STATE"),
                                         xProperty(backdrop, "WM_PROTOCOLS"))));
        }
    }

    QVERIFY(Desktop::closeWindow(program.title));
    QVERIFY(run.waitForExit(15000));
}

void TestE2EDesktops::checkWayland(Desktop::Session session, const Program &program) {
    // The program before is gone from the screen once the compositor's panel shows again.
    QVERIFY(waitUntil([this] {
        const QImage screen = m_desktop->capture();
        return !screen.isNull() && !allBlack(screen, QRect(0, 0, screenSize.width(), 40), pointer);
    }));
    // Out of the way in a corner, the pointer can't rest on a caption button and bring up its
    // tooltip, nor usually show in the areas checked.
    if (session == Desktop::Session::WestonWithSeat) {
        QCOMPARE(
            QProcess::execute(QStringLiteral("xdotool"),
                              {QStringLiteral("mousemove"), QString::number(screenSize.width() - 1),
                               QString::number(screenSize.height() - 1)}),
            0);
    }
    ProgramRun run(program.path, m_folder);
    // Black over the whole screen, the compositor's panel included, and the window centred on it.
    QImage screen;
    std::optional<QPoint> origin;
    const bool shown = waitUntil(
        [&] {
            screen = m_desktop->capture();
            origin = screen.isNull() ? std::nullopt : findClientOrigin(screen, program.background);
            return origin && allBlack(screen, QRect(0, 0, screenSize.width(), 40), pointer);
        },
        30000);
    keepScreenshot(screen, session, program);
    QVERIFY2(
        shown,
        qPrintable(QStringLiteral("window at %1, top of the screen black: %2. %3")
                       .arg(origin ? QStringLiteral("%1,%2").arg(origin->x()).arg(origin->y())
                                   : QStringLiteral("none"))
                       .arg(!screen.isNull() &&
                                    allBlack(screen, QRect(0, 0, screenSize.width(), 40), pointer)
                                ? QStringLiteral("yes")
                                : QStringLiteral("no"))
                       .arg(run.standardError())));
    int captionHeight = 0;
    verifyCentredUnderCaption(screen, *origin, program.client, captionHeight);
    if (QTest::currentTestFailed())
        return;
    const QRect client(*origin, program.client);
    if (session != Desktop::Session::WestonWithSeat)
        return;

    // The window is active: a key reaches it.
    QVERIFY(takesKeys(client));
    // The caption's close box, at its right end, closes the program.
    Desktop::click(QPoint(client.right() - captionHeight / 2, client.top() - captionHeight / 2));
    if (!run.waitForExit(15000))
        QFAIL(qPrintable(stillRunning(session, program, run)));
}

// Why a program asked to close still runs: a missed click or key leaves the window; a program
// stuck in its exit doesn't.
QString TestE2EDesktops::stillRunning(Desktop::Session session, const Program &program,
                                      ProgramRun &run) {
    const QImage screen = m_desktop->capture();
    keepScreenshot(screen, session, program, QStringLiteral("-unclosed"));
    const bool shown = findClientOrigin(screen, program.background).has_value();
    return QStringLiteral("still running, its window %1. %2")
        .arg(shown ? QStringLiteral("still shown") : QStringLiteral("gone"), run.standardError());
}

void TestE2EDesktops::fullDesktops_data() {
    QTest::addColumn<Desktop::Session>("session");
    for (const Desktop::Session session :
         {Desktop::Session::GnomeWayland, Desktop::Session::GnomeXWayland,
          Desktop::Session::GnomeX11, Desktop::Session::PlasmaWayland,
          Desktop::Session::PlasmaXWayland, Desktop::Session::PlasmaX11})
        QTest::newRow(qPrintable(Desktop::name(session))) << session;
}

void TestE2EDesktops::fullDesktops() {
    QFETCH(Desktop::Session, session);
    if (!isolation.isEmpty())
        QFAIL(qPrintable(isolation));
    Desktop desktop;
    m_desktop = &desktop;
    if (!desktop.start(session, screenSize, false))
        QFAIL(qPrintable(desktop.reason()));
    for (const Program *program : {&exercise, &supervisor}) {
        checkStartupError(session, *program);
        if (QTest::currentTestFailed())
            return;
        if (Desktop::isNested(session))
            checkNested(session, *program);
        else
            checkX11(session, *program);
        if (QTest::currentTestFailed())
            return;
    }
    checkMessagesOverWindow(session);
}

// With a settings file that ends too soon the program tells so before its window shows: the
// message is in front of the black backdrop, centred, and Return answers it and ends the program.
void TestE2EDesktops::checkStartupError(Desktop::Session session, const Program &program) {
    QTemporaryDir folder;
    QFile settings(folder.filePath(QStringLiteral("tavrin.ini")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("3\r\n1\r\n");
    settings.close();
    ProgramRun run(program.path, folder.path());
    answerMessage(session, program, run, QRect(QPoint(0, 0), screenSize), QStringLiteral("-error"));
    if (QTest::currentTestFailed())
        return;
    const bool answered = run.waitForExit(15000);
    if (!answered)
        keepScreenshot(m_desktop->capture(), session, program, QStringLiteral("-unanswered"));
    QVERIFY2(answered, "Return did not answer the message");
    QCOMPARE(run.exitCode(), 1);
}

// Without a settings file the settings tool says so over its window, and "Spara" with no pictures
// chosen asks for nine: each message shows centred over the window and is answered by Return; the
// window stays.
void TestE2EDesktops::checkMessagesOverWindow(Desktop::Session session) {
    QTemporaryDir folder;
    ProgramRun run(supervisor.path, folder.path());
    // Where the window shows (the desktop may dim it behind a message).
    const QRect client(centredOrigin(supervisor.client), supervisor.client);
    const auto box = [&] { return messageBox(m_desktop->capture(), client); };
    const auto windowAlone = [&] {
        const QImage screen = m_desktop->capture();
        return findClientOrigin(screen, supervisor.background) == client.topLeft() &&
               messageBox(screen, client).isEmpty();
    };
    for (const QString &message : {QStringLiteral("-notice"), QStringLiteral("-message")}) {
        if (message == QStringLiteral("-message"))
            Desktop::click(client.topLeft() + QPoint(584, 368)); // "Spara"
        answerMessage(session, supervisor, run, client, message, box);
        if (QTest::currentTestFailed())
            return;
        if (!waitUntil(windowAlone)) {
            keepScreenshot(m_desktop->capture(), session, supervisor,
                           message + QStringLiteral("-after"));
            QFAIL(qPrintable(QStringLiteral("the window not alone after %1; %2")
                                 .arg(message, run.standardError())));
        }
    }
    if (Desktop::isNested(session))
        QVERIFY(key(QStringLiteral("alt+F4")));
    else
        QVERIFY(Desktop::closeWindow(supervisor.title));
    if (!run.waitForExit(15000))
        QFAIL(qPrintable(stillRunning(session, supervisor, run)));
}

// Waits for a message box of the program's to stay put where shown() finds it (by default all
// that isn't black on the screen), checks that it is centred over the given area and, on X11,
// has the keyboard under the program's name, and answers it with Return.
void TestE2EDesktops::answerMessage(Desktop::Session session, const Program &program,
                                    ProgramRun &run, const QRect &over, const QString &suffix,
                                    const std::function<QRect()> &shown) {
    QRect box;
    QRect before;
    const bool seen = waitUntil(
        [&] {
            box = shown ? shown() : shownArea(m_desktop->capture());
            const bool same = std::exchange(before, box) == box;
            return same && box.width() > 120 && box.height() > 50 &&
                   box.width() < screenSize.width() / 2;
        },
        30000);
    keepScreenshot(m_desktop->capture(), session, program, suffix);
    QVERIFY2(seen, qPrintable(QStringLiteral("shown: %1,%2 %3x%4; %5; %6")
                                  .arg(box.x())
                                  .arg(box.y())
                                  .arg(box.width())
                                  .arg(box.height())
                                  .arg(run.isRunning() ? QStringLiteral("running")
                                                       : QStringLiteral("ended"))
                                  .arg(run.standardError())));
    // KWin places it by the size it had before it wrapped its text, a little above the middle.
    QVERIFY2(std::abs(box.center().x() - over.center().x()) <= 40 &&
                 std::abs(box.center().y() - over.center().y()) <= 100,
             qPrintable(QStringLiteral("at %1,%2 %3x%4")
                            .arg(box.x())
                            .arg(box.y())
                            .arg(box.width())
                            .arg(box.height())));
    if (!Desktop::isNested(session)) {
        QVERIFY(waitUntil([&] {
            return xProperty(activeWindow(), "_NET_WM_NAME")
                .contains(QFileInfo(program.path).fileName());
        }));
    }
    QVERIFY(key(QStringLiteral("Return")));
}

// The window has the keyboard: Tab moves the focus to its next control, which changes what it
// shows once it has finished drawing. A desktop may show a window a moment before it gives it the
// keyboard, so Tab is pressed again while nothing changes.
bool TestE2EDesktops::takesKeys(const QRect &client) {
    QImage before;
    if (!waitUntil([&] {
            const QImage now = m_desktop->capture().copy(client);
            return std::exchange(before, now) == now;
        }))
        return false;
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        if (!key(QStringLiteral("Tab")))
            return false;
        if (waitUntil([&] { return m_desktop->capture().copy(client) != before; }, 2000))
            return true;
    }
    return false;
}

bool TestE2EDesktops::minimise(Desktop::Session session) {
    if (Desktop::isGnome(session))
        return key(QStringLiteral("super+h"));
    // Plasma has no key for it: its shortcut, as the key would call it.
    return kwinShortcut(QStringLiteral("Window Minimize"));
}

bool TestE2EDesktops::bringBack(Desktop::Session session, const QImage &panel, bool byTaskBar) {
    if (!byTaskBar && Desktop::isPlasma(session)) {
        // KWin's own Alt+Tab, called through its shortcut service: on X11 here the keys sent
        // through the X server's test extension never reach the switcher.
        return kwinShortcut(QStringLiteral("Walk Through Windows"));
    }
    if (!byTaskBar) {
        // GNOME's switcher: a quick Alt+Tab goes straight to the window it would show first.
        return QProcess::execute(QStringLiteral("xdotool"),
                                 {QStringLiteral("keydown"), QStringLiteral("alt"),
                                  QStringLiteral("key"), QStringLiteral("Tab"),
                                  QStringLiteral("keyup"), QStringLiteral("alt")}) == 0;
    }
    // The panel shows while the window is minimised, with the program's entry on it.
    QRect entry;
    QImage screen;
    const bool listed = waitUntil([&] {
        screen = m_desktop->capture();
        if (screen.isNull())
            return false;
        entry = panelChange(panel, screen);
        return entry.width() >= 16 && entry.height() >= 16 && entry.width() < 300;
    });
    if (!listed) {
        keepScreenshot(screen, Desktop::Session(session), exercise, QStringLiteral("-taskbar"));
        qWarning("no task bar entry: changed %d,%d %dx%d", entry.x(), entry.y(), entry.width(),
                 entry.height());
        return false;
    }
    Desktop::click(entry.center());
    return true;
}

// On a nested compositor the program's windows are pixels in the Xvfb window: black around
// the window, centred, with a caption bar; active (Tab moves the focus); minimised and back by
// the desktop's own way; and the desktop's close (Alt+F4) ends it.
void TestE2EDesktops::checkNested(Desktop::Session session, const Program &program) {
    const QImage panel = screenWithoutProgram(*m_desktop, session);
    ProgramRun run(program.path, m_folder);
    QImage screen;
    std::optional<QPoint> origin;
    const QRect top(0, 0, screenSize.width(), 40);
    const auto shownInFront = [&] {
        screen = m_desktop->capture();
        origin = screen.isNull() ? std::nullopt : findClientOrigin(screen, program.background);
        return origin && allBlack(screen, top, pointer) &&
               allBlack(screen, QRect(0, screenSize.height() - 48, 400, 48), pointer);
    };
    const bool shown = waitUntil(shownInFront, 30000);
    keepScreenshot(screen, session, program);
    QVERIFY2(shown,
             qPrintable(QStringLiteral("window at %1. %2")
                            .arg(origin ? QStringLiteral("%1,%2").arg(origin->x()).arg(origin->y())
                                        : QStringLiteral("none"),
                                 run.standardError())));
    int captionHeight = 0;
    verifyCentredUnderCaption(screen, *origin, program.client, captionHeight);
    if (QTest::currentTestFailed())
        return;
    const QRect client(*origin, program.client);

    // Active: a key reaches it, as it does again after each way back.
    QVERIFY(takesKeys(client));

    // Through XWayland KWin may keep the backdrop over its panel while the window is minimised
    // (it stays the last active window): there Alt+Tab is the way back.
    for (const bool byTaskBar : {true, false}) {
        if (byTaskBar && session != Desktop::Session::PlasmaWayland)
            continue;
        QVERIFY(minimise(session));
        QVERIFY2(waitUntil([&] {
                     const QImage now = m_desktop->capture();
                     return !now.isNull() && !findClientOrigin(now, program.background);
                 }),
                 "not minimised");
        QVERIFY(bringBack(session, panel, byTaskBar));
        const bool back = waitUntil(shownInFront, 15000);
        if (!back)
            keepScreenshot(screen, session, program, QStringLiteral("-back"));
        QVERIFY2(back, byTaskBar ? "not back from the task bar" : "not back by Alt+Tab");
        QVERIFY2(takesKeys(client), "back without the keyboard");
    }

    QVERIFY(key(QStringLiteral("alt+F4")));
    if (!run.waitForExit(15000))
        QFAIL(qPrintable(stillRunning(session, program, run)));
    QCOMPARE(run.exitCode(), 0);
}

void TestE2EDesktops::keepScreenshot(const QImage &screen, Desktop::Session session,
                                     const Program &program, const QString &suffix) {
    // Kept for a person to look at when asked to.
    const QString into = qEnvironmentVariable("TAVRIN_SCREENSHOTS");
    if (!into.isEmpty())
        screen.save(QDir(into).filePath(
            QStringLiteral("%1-%2%3.png")
                .arg(Desktop::name(session), QFileInfo(program.path).fileName(), suffix)));
}

int main(int argc, char **argv) {
    // Before any other thread or process: the full desktops run only in an isolated process.
    isolation = Desktop::isolate();
    // This process only reads the screen through the desktop's own tools.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestE2EDesktops test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_e2e_desktops.moc"
