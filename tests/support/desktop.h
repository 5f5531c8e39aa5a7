// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/pulseserver.h"

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>

// A private desktop for end-to-end tests: an X server (Xvfb) with a window manager (openbox or
// xfwm4), or a Wayland compositor (weston: headless, or drawing into an Xvfb window, which gives
// it a keyboard and a pointer); a D-Bus session bus of its own, which xfwm4 needs for its settings;
// and a PulseAudio server with a null sink.
// The full desktops, GNOME Shell and KDE Plasma, run on an Xvfb screen too: on X11 as its window
// manager, on Wayland nested in an Xvfb window, with XWayland for X11 programs. They also get a
// system bus of their own, a home of their own and a runtime folder of their own, and need the
// process to be isolated first (isolate()).
// On X11 the test process itself may connect to the X server, so it can take screenshots; pointer
// events go through xdotool like a person's.
class Desktop final {
public:
    enum class Session {
        Openbox,
        Xfwm4,
        Weston,
        WestonWithSeat,
        // The program on Wayland, natively or through XWayland, and on X11.
        GnomeWayland,
        GnomeXWayland,
        GnomeX11,
        PlasmaWayland,
        PlasmaXWayland,
        PlasmaX11,
    };

    // Gives this process, before it starts any other, a mount and network namespace of its own:
    // X servers' sockets and lock files there are its own (XWayland always takes the first free
    // display), the system's logind is hidden (GNOME Shell would ask it for a seat), and the
    // processes the desktops leave behind become its children, which stop() ends. Empty when
    // done, else why not.
    static QString isolate();

    ~Desktop() { stop(); }

    // Starts openbox on a screen of this size with sound, and points DISPLAY and PULSE_SERVER at
    // it. Call before QApplication.
    bool start(QSize screen = QSize(1024, 768)) { return start(Session::Openbox, screen, true); }
    // Starts the session on a screen of this size and points DISPLAY, or WAYLAND_DISPLAY and
    // XDG_SESSION_TYPE, at it (and DBUS_SESSION_BUS_ADDRESS at its bus, and PULSE_SERVER, with
    // sound), so programs started afterwards come up on it.
    bool start(Session session, QSize screen, bool withSound);
    void stop();
    QString reason() const { return m_reason; }
    QString display() const { return m_display; }
    PulseServer &pulse() { return m_pulse; }
    static QString name(Session session);
    static bool isGnome(Session session);
    static bool isPlasma(Session session);
    // The program runs on the nested compositor (natively or through XWayland), which this
    // process sees only as pixels in an Xvfb window and reaches only through its pointer and keys.
    static bool isNested(Session session);
    // Plasma's panel shows whole along the bottom of this screenshot.
    static bool panelShown(const QImage &screen);

    // The whole screen, taken by the session's own tools: this process need not be its client.
    QImage capture() const;

    static QImage screenshot();
    static void click(QPoint at);
    static void doubleClick(QPoint at);
    // Brings the window with this exact title to the front, waits until it has the focus, and
    // types keys into it; false when it never got the focus.
    static bool typeInto(const QString &title, const QString &keys);
    // Asks the window manager to close the window with this exact title, as its close box does.
    static bool closeWindow(const QString &title);
    static QStringList visibleWindowTitles();
    static QString activeWindowTitle();

    // How a program reaches the session's X display, XWayland's where the program runs there:
    // DISPLAY and XAUTHORITY for tools to run against it.
    QProcessEnvironment programX11Environment() const;

private:
    bool startSessionBus();
    bool startSystemBus();
    bool startFullDesktop(Session session, QSize screen);
    bool startGnome(Session session, QSize screen);
    bool startPlasma(Session session, QSize screen);
    bool findXWayland();
    void setEnvironment(const char *name, const QByteArray &value);
    void unsetEnvironment(const char *name);
    void endStrayProcesses();
    bool startX11(Session session, QSize screen);
    bool startWeston(QSize screen, bool withSeat);
    // Brings weston's pointer to where the X server's is, so xdotool's clicks land where aimed.
    bool alignPointers(QSize screen);
    bool startXServer(QSize screen);
    bool startWindowManager(Session session);

    Session m_session = Session::Openbox;
    QString m_display;
    QString m_reason;
    QProcess m_bus;
    QProcess m_xserver;
    QProcess m_windowManager;
    QProcess m_compositor;
    QProcess m_systemBus;
    QProcess m_shell;
    std::unique_ptr<QTemporaryDir> m_runtimeDir;
    std::unique_ptr<QTemporaryDir> m_home;
    QString m_xwaylandDisplay;
    QString m_xwaylandAuthority;
    // What start() changed in this process's environment, and what was there before.
    QList<QPair<QByteArray, std::optional<QByteArray>>> m_savedEnvironment;
    PulseServer m_pulse;
};

// A program under test, started in its own folder on the test desktop.
class ProgramRun final {
public:
    // Where the desktop wants programs to run other than on this process's display: the variables
    // to set, and those to remove (empty values). Set by Desktop::start().
    static QList<QPair<QString, QString>> &environment();

    ProgramRun(const QString &program, const QString &folder, const QStringList &arguments = {});
    ~ProgramRun();

    bool waitForExit(int milliseconds);
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    qint64 processId() const { return m_process.processId(); }
    int exitCode() const { return m_process.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return m_process.exitStatus(); }
    QString standardError();

private:
    QProcess m_process;
    QByteArray m_stderr;
};

// Polls condition, letting events run, until it holds or the time is up.
bool waitUntil(const std::function<bool()> &condition, int milliseconds = 30000);

// The top left corner of the client area of a window whose background is colour: the first
// pixel of that colour, scanning rows from the top. Null when not on the screen.
std::optional<QPoint> findClientOrigin(const QImage &screen, const QColor &background);

bool sameColour(const QColor &a, const QColor &b, int tolerance = 8);
