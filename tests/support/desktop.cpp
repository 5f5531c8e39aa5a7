// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/desktop.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <optional>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool isolated = false;
// In nested mutter a click right after the pointer's move may land where the pointer was.
bool pauseBeforeClick = false;

bool run(const QString &program, const QStringList &arguments, QByteArray *output = nullptr,
         int timeout = 10000) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeout)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void stopProcess(QProcess &process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(2000);
    }
}

// The first line the process prints, read without an event loop: the desktop may start before
// the application does.
QByteArray firstLine(QProcess &process, int timeout) {
    const QDeadlineTimer deadline(timeout);
    while (!process.canReadLine()) {
        if (process.state() == QProcess::NotRunning || deadline.hasExpired())
            return {};
        process.waitForReadyRead(int(deadline.remainingTime()));
    }
    return process.readLine().trimmed();
}

} // namespace

void Desktop::stop() {
    m_pulse.stop();
    stopProcess(m_windowManager);
    stopProcess(m_shell);
    stopProcess(m_compositor);
    stopProcess(m_xserver);
    // Last: the session's programs may still be talking on it.
    stopProcess(m_bus);
    stopProcess(m_systemBus);
    endStrayProcesses();
    for (auto it = m_savedEnvironment.crbegin(); it != m_savedEnvironment.crend(); ++it) {
        if (it->second)
            qputenv(it->first.constData(), *it->second);
        else
            qunsetenv(it->first.constData());
    }
    m_savedEnvironment.clear();
    ProgramRun::environment().clear();
    pauseBeforeClick = false;
    m_xwaylandDisplay.clear();
    m_xwaylandAuthority.clear();
    m_home.reset();
}

void Desktop::setEnvironment(const char *name, const QByteArray &value) {
    const bool saved = std::any_of(m_savedEnvironment.cbegin(), m_savedEnvironment.cend(),
                                   [name](const auto &entry) { return entry.first == name; });
    if (!saved)
        m_savedEnvironment.append({QByteArray(name), qEnvironmentVariableIsSet(name)
                                                         ? std::optional<QByteArray>(qgetenv(name))
                                                         : std::nullopt});
    qputenv(name, value);
}

void Desktop::unsetEnvironment(const char *name) {
    if (!qEnvironmentVariableIsSet(name))
        return;
    setEnvironment(name, {});
    qunsetenv(name);
}

QString Desktop::isolate() {
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (unshare(CLONE_NEWNS | CLONE_NEWNET) != 0) {
        const int plain = errno;
        // Without root a user namespace of its own gives the right to mount, as the same user.
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS | CLONE_NEWNET) != 0)
            return QStringLiteral("no namespaces of its own: %1; as a user: %2")
                .arg(QString::fromLocal8Bit(strerror(plain)),
                     QString::fromLocal8Bit(strerror(errno)));
        const auto write = [](const char *path, const QByteArray &text) {
            QFile file(QString::fromLatin1(path));
            return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
        };
        if (!write("/proc/self/setgroups", "deny") ||
            !write("/proc/self/uid_map",
                   QByteArray::number(uid) + ' ' + QByteArray::number(uid) + " 1") ||
            !write("/proc/self/gid_map",
                   QByteArray::number(gid) + ' ' + QByteArray::number(gid) + " 1"))
            return QStringLiteral("the user namespace maps no user");
    }
    const auto hide = [](const char *path, const char *options) -> QString {
        if (mount("tmpfs", path, "tmpfs", 0, options) != 0)
            return QStringLiteral("can't mount over %1: %2")
                .arg(QLatin1String(path), QString::fromLocal8Bit(strerror(errno)));
        return {};
    };
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return QStringLiteral("mounts stay shared: ") + QString::fromLocal8Bit(strerror(errno));
    // X servers' sockets: those started here can't meet the machine's, nor take their names.
    mkdir("/tmp/.X11-unix", 01777);
    if (QString error = hide("/tmp/.X11-unix", "mode=1777"); !error.isEmpty())
        return error;
    if (QFileInfo(QStringLiteral("/run/systemd")).isDir()) {
        if (QString error = hide("/run/systemd", "mode=755"); !error.isEmpty())
            return error;
    }
    // What a desktop leaves running when it ends comes to this process, and stop() ends it.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    isolated = true;
    return {};
}

void Desktop::endStrayProcesses() {
    if (!isolated)
        return;
    const auto children = [] {
        QList<pid_t> found;
        const QString me = QString::number(getpid());
        for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            bool number = false;
            const pid_t pid = entry.toInt(&number);
            if (!number)
                continue;
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            // pid (name) state ppid ...; the name may hold blanks and brackets.
            const QString line = QString::fromLocal8Bit(stat.readAll());
            const QStringList fields =
                line.mid(line.lastIndexOf(u')') + 2).split(u' ', Qt::SkipEmptyParts);
            if (fields.size() > 1 && fields[1] == me)
                found << pid;
        }
        return found;
    };
    // Each round ends the children; their own children come to this process as they go.
    for (int round = 0; round < 5; ++round) {
        const QList<pid_t> strays = children();
        if (strays.isEmpty())
            return;
        for (const pid_t pid : strays)
            kill(pid, SIGTERM);
        const QDeadlineTimer deadline(2000);
        QList<pid_t> left = strays;
        while (!left.isEmpty() && !deadline.hasExpired()) {
            left.removeIf([](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == pid; });
            if (!left.isEmpty())
                QThread::msleep(20);
        }
        for (const pid_t pid : left) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
}

QString Desktop::name(Session session) {
    switch (session) {
    case Session::Openbox:
        return QStringLiteral("openbox");
    case Session::Xfwm4:
        return QStringLiteral("xfwm4");
    case Session::Weston:
        return QStringLiteral("weston");
    case Session::WestonWithSeat:
        return QStringLiteral("weston-seat");
    case Session::GnomeWayland:
        return QStringLiteral("gnome-wayland");
    case Session::GnomeXWayland:
        return QStringLiteral("gnome-xwayland");
    case Session::GnomeX11:
        return QStringLiteral("gnome-x11");
    case Session::PlasmaWayland:
        return QStringLiteral("plasma-wayland");
    case Session::PlasmaXWayland:
        return QStringLiteral("plasma-xwayland");
    case Session::PlasmaX11:
        return QStringLiteral("plasma-x11");
    }
    return {};
}

bool Desktop::isGnome(Session session) {
    return session == Session::GnomeWayland || session == Session::GnomeXWayland ||
           session == Session::GnomeX11;
}

bool Desktop::isPlasma(Session session) {
    return session == Session::PlasmaWayland || session == Session::PlasmaXWayland ||
           session == Session::PlasmaX11;
}

bool Desktop::isNested(Session session) {
    return session == Session::GnomeWayland || session == Session::GnomeXWayland ||
           session == Session::PlasmaWayland || session == Session::PlasmaXWayland;
}

QProcessEnvironment Desktop::programX11Environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!m_xwaylandDisplay.isEmpty()) {
        env.insert(QStringLiteral("DISPLAY"), m_xwaylandDisplay);
        if (m_xwaylandAuthority.isEmpty())
            env.remove(QStringLiteral("XAUTHORITY"));
        else
            env.insert(QStringLiteral("XAUTHORITY"), m_xwaylandAuthority);
    }
    return env;
}

bool Desktop::start(Session session, QSize screen, bool withSound) {
    m_session = session;
    if (isGnome(session) || isPlasma(session)) {
        if (!startFullDesktop(session, screen))
            return false;
        if (withSound && !m_pulse.start()) {
            m_reason = m_pulse.reason();
            return false;
        }
        return true;
    }
    if (!startSessionBus())
        return false;
    bool started = false;
    switch (session) {
    case Session::Weston:
        started = startWeston(screen, false);
        break;
    case Session::WestonWithSeat:
        // Headless weston has no seat: nothing there is ever active or clicked.
        started = startXServer(screen) && startWeston(screen, true) && alignPointers(screen);
        break;
    default:
        started = startX11(session, screen);
    }
    if (!started)
        return false;
    if (withSound && !m_pulse.start()) {
        m_reason = m_pulse.reason();
        return false;
    }
    return true;
}

bool Desktop::startSessionBus() {
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) {
        m_reason = QStringLiteral("dbus-daemon is not installed");
        return false;
    }
    // The bus prints its address once it listens.
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--nofork"),
                 QStringLiteral("--print-address=1")});
    const QByteArray address = firstLine(m_bus, 10000);
    if (address.isEmpty()) {
        m_reason = QStringLiteral("dbus-daemon did not start: ") +
                   QString::fromLocal8Bit(m_bus.readAllStandardError());
        stopProcess(m_bus);
        return false;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    return true;
}

bool Desktop::startSystemBus() {
    // No service is started on demand, and every sender may be answered: clients waiting for an
    // answer the policy drops hang until they time out.
    const QString folder = m_runtimeDir->path();
    QFile config(folder + QStringLiteral("/system-bus.conf"));
    if (!config.open(QIODevice::WriteOnly))
        return false;
    config.write(
        "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN\"\n"
        " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
        "<busconfig>\n  <type>system</type>\n  <listen>unix:path=" +
        folder.toLocal8Bit() +
        "/system-bus</listen>\n  <auth>EXTERNAL</auth>\n"
        "  <policy context=\"default\">\n    <allow user=\"*\"/>\n    <allow own=\"*\"/>\n"
        "    <allow send_destination=\"*\"/>\n    <allow receive_sender=\"*\"/>\n"
        "  </policy>\n</busconfig>\n");
    config.close();
    m_systemBus.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--config-file=") + config.fileName(),
                       QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    const QByteArray address = firstLine(m_systemBus, 10000);
    if (address.isEmpty()) {
        m_reason = QStringLiteral("the system bus did not start: ") +
                   QString::fromLocal8Bit(m_systemBus.readAllStandardError());
        stopProcess(m_systemBus);
        return false;
    }
    setEnvironment("DBUS_SYSTEM_BUS_ADDRESS", address);
    return true;
}

namespace {

// The screen, below a top bar, is one colour, sampled every 16 pixels: a desktop's plain
// background with nothing in front of it.
bool plainBelow(const QImage &screen, int top) {
    if (screen.isNull())
        return false;
    const QRgb first = screen.pixel(0, screen.height() - 1);
    for (int y = top; y < screen.height(); y += 16)
        for (int x = 0; x < screen.width() - 16; x += 16)
            if (screen.pixel(x, y) != first)
                return false;
    return true;
}

} // namespace

// Light in Plasma's default theme.
bool Desktop::panelShown(const QImage &screen) {
    if (screen.isNull())
        return false;
    for (int x = screen.width() / 3; x < screen.width() * 2 / 3; x += 8)
        if (qGray(screen.pixel(x, screen.height() - 4)) < 180)
            return false;
    return true;
}

bool Desktop::startFullDesktop(Session session, QSize screen) {
    if (!isolated) {
        m_reason = QStringLiteral("the desktops run only in a process isolated before it started "
                                  "anything (Desktop::isolate())");
        return false;
    }
    QStringList tools{
        QStringLiteral("Xvfb"),        QStringLiteral("xdotool"),
        QStringLiteral("xprop"),       QStringLiteral("import"),
        QStringLiteral("dbus-daemon"), QStringLiteral("dbus-update-activation-environment")};
    if (isGnome(session))
        tools << QStringLiteral("gnome-shell");
    else
        tools << QStringLiteral("plasmashell")
              << (session == Session::PlasmaX11 ? QStringLiteral("kwin_x11")
                                                : QStringLiteral("kwin_wayland"));
    if (session == Session::GnomeXWayland || session == Session::PlasmaXWayland)
        tools << QStringLiteral("Xwayland");
    for (const QString &tool : std::as_const(tools)) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            m_reason = QStringLiteral("%1 is not installed").arg(tool);
            return false;
        }
    }
    // A runtime folder, a home and settings of the desktop's own, fresh each time.
    m_runtimeDir = std::make_unique<QTemporaryDir>();
    m_home = std::make_unique<QTemporaryDir>();
    if (!m_runtimeDir->isValid() || !m_home->isValid()) {
        m_reason = QStringLiteral("no temporary folders");
        return false;
    }
    QFile::setPermissions(m_runtimeDir->path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray home = m_home->path().toLocal8Bit();
    setEnvironment("XDG_RUNTIME_DIR", m_runtimeDir->path().toLocal8Bit());
    setEnvironment("HOME", home);
    setEnvironment("XDG_CONFIG_HOME", home + "/.config");
    setEnvironment("XDG_DATA_HOME", home + "/.local/share");
    setEnvironment("XDG_CACHE_HOME", home + "/.cache");
    setEnvironment("XDG_SESSION_TYPE", Desktop::isNested(session) ? "wayland" : "x11");
    setEnvironment("XDG_CURRENT_DESKTOP", isGnome(session) ? "GNOME" : "KDE");
    unsetEnvironment("WAYLAND_DISPLAY");
    if (!startSystemBus() || !startSessionBus() || !startXServer(screen))
        return false;
    const bool up = isGnome(session) ? startGnome(session, screen) : startPlasma(session, screen);
    if (!up)
        return false;
    // The pointer rests at the right edge, away from hot corners, panels and captions: the
    // nested compositors draw it into their screenshots.
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(screen.width() - 1),
         QString::number(screen.height() / 2)});

    auto &programs = ProgramRun::environment();
    programs.clear();
    if (session == Session::GnomeWayland || session == Session::PlasmaWayland) {
        programs << qMakePair(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    } else if (!m_xwaylandDisplay.isEmpty()) {
        programs << qMakePair(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"))
                 << qMakePair(QStringLiteral("DISPLAY"), m_xwaylandDisplay)
                 << qMakePair(QStringLiteral("XAUTHORITY"), m_xwaylandAuthority)
                 << qMakePair(QStringLiteral("WAYLAND_DISPLAY"), QString());
    }
    return true;
}

bool Desktop::findXWayland() {
    // Its socket is the one beside the Xvfb's in this process's own socket folder; its
    // authority file is in the runtime folder.
    const QDir sockets(QStringLiteral("/tmp/.X11-unix"));
    QList<int> numbers;
    for (const QString &entry : sockets.entryList(QDir::System | QDir::Files | QDir::Hidden)) {
        bool number = false;
        const int n = entry.mid(1).toInt(&number);
        if (entry.startsWith(u'X') && number && QStringLiteral(":%1").arg(n) != m_display)
            numbers << n;
    }
    const QStringList authorities =
        QDir(m_runtimeDir->path())
            .entryList({QStringLiteral(".mutter-Xwaylandauth.*"), QStringLiteral("xauth_*")},
                       QDir::Files | QDir::Hidden);
    // mutter's XWayland asks for its authority file, KWin's for none.
    if (numbers.isEmpty() || (isGnome(m_session) && authorities.isEmpty()))
        return false;
    std::sort(numbers.begin(), numbers.end());
    m_xwaylandDisplay = QStringLiteral(":%1").arg(numbers.first());
    m_xwaylandAuthority = authorities.isEmpty()
                              ? QString()
                              : QDir(m_runtimeDir->path()).filePath(authorities.first());
    // Up once it answers.
    QProcess probe;
    QProcessEnvironment env = programX11Environment();
    probe.setProcessEnvironment(env);
    probe.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("-len"),
                                          QStringLiteral("1"), QStringLiteral("_NET_SUPPORTED")});
    return probe.waitForFinished(10000) && probe.exitCode() == 0;
}

namespace {

// The variables a desktop's programs started over its session bus need; without them plasmashell
// shows no panel.
void updateActivationEnvironment(const QStringList &extra = {}) {
    QStringList assignments = extra;
    for (const char *name : {"DISPLAY", "XDG_RUNTIME_DIR", "XDG_SESSION_TYPE",
                             "XDG_CURRENT_DESKTOP", "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                             "XDG_CACHE_HOME", "DBUS_SYSTEM_BUS_ADDRESS", "WAYLAND_DISPLAY"}) {
        if (qEnvironmentVariableIsSet(name))
            assignments << QStringLiteral("%1=%2").arg(QLatin1String(name),
                                                       qEnvironmentVariable(name));
    }
    run(QStringLiteral("dbus-update-activation-environment"), assignments);
}

} // namespace

bool Desktop::startGnome(Session session, QSize screen) {
    const QString socket = QStringLiteral("tavrin-wayland");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MUTTER_DEBUG_DUMMY_MODE_SPECS"),
               QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height()));
    // No banners: the shell's own notices (a session run as root gets one) would cover the top
    // of the screen.
    env.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("keyfile"));
    QDir().mkpath(m_home->path() + QStringLiteral("/.config/glib-2.0/settings"));
    QFile keyfile(m_home->path() + QStringLiteral("/.config/glib-2.0/settings/keyfile"));
    if (keyfile.open(QIODevice::WriteOnly))
        keyfile.write("[org/gnome/desktop/notifications]\nshow-banners=false\n");
    keyfile.close();
    setEnvironment("GSETTINGS_BACKEND", "keyfile");
    updateActivationEnvironment({QStringLiteral("GSETTINGS_BACKEND=keyfile")});
    m_compositor.setProcessChannelMode(QProcess::MergedChannels);
    m_compositor.setProcessEnvironment(env);
    const bool nested = session != Session::GnomeX11;
    m_compositor.start(QStringLiteral("gnome-shell"),
                       nested ? QStringList{QStringLiteral("--nested"), QStringLiteral("--wayland"),
                                            QStringLiteral("--wayland-display=") + socket}
                              : QStringList{QStringLiteral("--x11"), QStringLiteral("--replace")});
    if (nested)
        setEnvironment("WAYLAND_DISPLAY", socket.toLocal8Bit());
    pauseBeforeClick = true;
    // It starts in the overview once it is up: up once Escape has left that for the plain
    // desktop.
    const auto overview = [] {
        QByteArray out;
        run(QStringLiteral("dbus-send"),
            {QStringLiteral("--session"), QStringLiteral("--print-reply"),
             QStringLiteral("--dest=org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
             QStringLiteral("org.freedesktop.DBus.Properties.Get"),
             QStringLiteral("string:org.gnome.Shell"), QStringLiteral("string:OverviewActive")},
            &out);
        return out.contains("true");
    };
    bool ended = false;
    bool seenOverview = false;
    const bool up = waitUntil(
        [&] {
            if (m_compositor.waitForFinished(0)) {
                ended = true;
                return true;
            }
            if (nested && !QFile::exists(QDir(m_runtimeDir->path()).filePath(socket)))
                return false;
            if (session == Session::GnomeXWayland && m_xwaylandDisplay.isEmpty() && !findXWayland())
                return false;
            if (overview()) {
                seenOverview = true;
                run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
                return false;
            }
            return seenOverview && plainBelow(capture(), 40);
        },
        60000);
    if (up && !ended)
        return true;
    m_reason = QStringLiteral("gnome-shell %1: ")
                   .arg(ended ? QStringLiteral("ended") : QStringLiteral("did not come up")) +
               QString::fromLocal8Bit(m_compositor.readAll()).right(3000);
    return false;
}

bool Desktop::startPlasma(Session session, QSize screen) {
    const QString socket = QStringLiteral("tavrin-wayland");
    m_compositor.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (session == Session::PlasmaX11) {
        // Without compositing: the screenshots read the X server's own pixels.
        env.insert(QStringLiteral("KWIN_COMPOSE"), QStringLiteral("N"));
        m_compositor.setProcessEnvironment(env);
        m_compositor.start(QStringLiteral("kwin_x11"), {QStringLiteral("--replace")});
    } else {
        // The installed binary carries a file capability a container may not grant; a plain copy
        // runs (under the same name: its platform plugin checks it).
        const QString copy = m_runtimeDir->path() + QStringLiteral("/bin/kwin_wayland");
        QDir().mkpath(QFileInfo(copy).path());
        if (!QFile::copy(QStandardPaths::findExecutable(QStringLiteral("kwin_wayland")), copy)) {
            m_reason = QStringLiteral("can't copy kwin_wayland");
            return false;
        }
        m_compositor.setProcessEnvironment(env);
        m_compositor.start(copy,
                           {QStringLiteral("--x11-display"), m_display, QStringLiteral("--width"),
                            QString::number(screen.width()), QStringLiteral("--height"),
                            QString::number(screen.height()), QStringLiteral("--socket"), socket,
                            QStringLiteral("--xwayland"), QStringLiteral("--no-lockscreen")});
        setEnvironment("WAYLAND_DISPLAY", socket.toLocal8Bit());
    }
    bool ended = false;
    const bool compositing = waitUntil(
        [&] {
            if (m_compositor.waitForFinished(0)) {
                ended = true;
                return true;
            }
            if (session == Session::PlasmaX11) {
                QByteArray out;
                return run(QStringLiteral("xprop"),
                           {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")},
                           &out) &&
                       out.contains("window id");
            }
            return QFile::exists(QDir(m_runtimeDir->path()).filePath(socket)) && findXWayland();
        },
        60000);
    if (!compositing || ended) {
        m_reason = QStringLiteral("kwin %1 (runtime folder: %2; X sockets: %3): ")
                       .arg(ended ? QStringLiteral("ended") : QStringLiteral("did not come up"),
                            QDir(m_runtimeDir->path())
                                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System)
                                .join(u' '),
                            QDir(QStringLiteral("/tmp/.X11-unix"))
                                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System)
                                .join(u' ')) +
                   QString::fromLocal8Bit(m_compositor.readAll()).right(3000);
        return false;
    }
    // plasmashell draws the panel and the desktop, on the program's window system.
    updateActivationEnvironment();
    QProcessEnvironment shellEnv = QProcessEnvironment::systemEnvironment();
    shellEnv.insert(QStringLiteral("QT_QPA_PLATFORM"), session == Session::PlasmaX11
                                                           ? QStringLiteral("xcb")
                                                           : QStringLiteral("wayland"));
    m_shell.setProcessChannelMode(QProcess::MergedChannels);
    m_shell.setProcessEnvironment(shellEnv);
    m_shell.start(QStringLiteral("plasmashell"), QStringList{});
    const bool up = waitUntil(
        [&] {
            if (m_shell.waitForFinished(0) || m_compositor.waitForFinished(0)) {
                ended = true;
                return true;
            }
            return panelShown(capture());
        },
        60000);
    if (up && !ended)
        return true;
    m_reason =
        QStringLiteral("plasmashell %1: ")
            .arg(ended ? QStringLiteral("or kwin ended") : QStringLiteral("showed no panel")) +
        QString::fromLocal8Bit(m_shell.readAll()).right(2000) +
        QString::fromLocal8Bit(m_compositor.readAll()).right(2000);
    return false;
}

bool Desktop::startX11(Session session, QSize screen) {
    for (const QString &tool : {QStringLiteral("Xvfb"), name(session), QStringLiteral("xdotool"),
                                QStringLiteral("xprop"), QStringLiteral("wmctrl")}) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            m_reason = QStringLiteral("%1 is not installed").arg(tool);
            return false;
        }
    }
    // A server or window manager that doesn't come up gets another chance with a fresh pair; each
    // retry shows in the test's output with its reason, so none can hide a fault.
    constexpr int attempts = 3;
    QStringList failures;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        if (startXServer(screen) && startWindowManager(session)) {
            if (!failures.isEmpty())
                qWarning("%s came up on attempt %d of %d after: %s", qPrintable(name(session)),
                         attempt, attempts, qPrintable(failures.join(QStringLiteral("; "))));
            return true;
        }
        failures << QStringLiteral("attempt %1: %2").arg(attempt).arg(m_reason.trimmed());
        qWarning("%s did not come up on attempt %d of %d: %s", qPrintable(name(session)), attempt,
                 attempts, qPrintable(m_reason.trimmed()));
        stopProcess(m_windowManager);
        stopProcess(m_xserver);
    }
    m_reason = failures.join(QStringLiteral("; "));
    return false;
}

bool Desktop::startXServer(QSize screen) {
    // The server takes a display number nobody else holds, and prints it once it accepts
    // connections. It must not reset when its last client leaves: the tools polling it come and
    // go, and a window manager connecting during a reset is turned away.
    m_xserver.setProcessChannelMode(QProcess::SeparateChannels);
    m_xserver.start(
        QStringLiteral("Xvfb"),
        {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
         QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
         QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")});
    if (!m_xserver.waitForStarted(5000)) {
        m_reason = QStringLiteral("Xvfb did not start: ") + m_xserver.errorString();
        return false;
    }
    bool numbered = false;
    const int number = firstLine(m_xserver, 20000).toInt(&numbered);
    if (!numbered) {
        m_reason = QStringLiteral("Xvfb did not come up: ") +
                   QString::fromLocal8Bit(m_xserver.readAllStandardError());
        return false;
    }
    m_display = QStringLiteral(":%1").arg(number);
    qputenv("DISPLAY", m_display.toLocal8Bit());
    return true;
}

bool Desktop::startWeston(QSize screen, bool withSeat) {
    for (const char *tool : {"weston", "weston-screenshooter"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            m_reason = QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
            return false;
        }
    }
    // Wayland sockets live in the runtime directory, which a test machine may lack.
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty() || !QFileInfo(runtime).isWritable()) {
        m_runtimeDir = std::make_unique<QTemporaryDir>();
        QFile::setPermissions(m_runtimeDir->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        runtime = m_runtimeDir->path();
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
    const QString socket = QStringLiteral("tavrin-test-%1").arg(QCoreApplication::applicationPid());
    // Pixman draws, so the screenshooter has pixels to copy; --debug lets it.
    m_compositor.setProcessChannelMode(QProcess::MergedChannels);
    // The pointer is the built-in dark arrow pointerShownAt() looks for, whichever cursor theme
    // the machine has (a desktop's packages install their own as the default).
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XCURSOR_PATH"),
               QDir(runtime).filePath(QStringLiteral("no-cursors")));
    m_compositor.setProcessEnvironment(env);
    m_compositor.start(
        QStringLiteral("weston"),
        {withSeat ? QStringLiteral("--backend=x11-backend.so")
                  : QStringLiteral("--backend=headless-backend.so"),
         QStringLiteral("--use-pixman"), QStringLiteral("--debug"), QStringLiteral("--idle-time=0"),
         QStringLiteral("--width=%1").arg(screen.width()),
         QStringLiteral("--height=%1").arg(screen.height()), QStringLiteral("--socket=") + socket});
    qputenv("WAYLAND_DISPLAY", socket.toLocal8Bit());
    qputenv("XDG_SESSION_TYPE", "wayland");
    // With a seat, DISPLAY stays for xdotool's pointer and keys, which weston takes as its own.
    if (!withSeat) {
        m_display = socket;
        qunsetenv("DISPLAY");
    }
    // Up once its shell has drawn the panel and a screenshot can be taken.
    const bool up = waitUntil(
        [this, &socket] {
            return m_compositor.state() == QProcess::Running &&
                   QFile::exists(QDir(qEnvironmentVariable("XDG_RUNTIME_DIR")).filePath(socket)) &&
                   !capture().isNull();
        },
        20000);
    if (!up)
        m_reason = QStringLiteral("weston did not come up: ") +
                   QString::fromLocal8Bit(m_compositor.readAll());
    return up;
}

namespace {

// weston draws its pointer into its screenshots: a dark arrow with its tip at the pointer.
bool pointerShownAt(const QImage &screen, QPoint at) {
    const QRect arrow = QRect(at, QSize(16, 16)).intersected(screen.rect());
    int dark = 0;
    for (int y = arrow.top(); y <= arrow.bottom(); ++y)
        for (int x = arrow.left(); x <= arrow.right(); ++x)
            dark += qGray(screen.pixel(x, y)) < 40 ? 1 : 0;
    // Part of the square, not all of it: a screen not yet drawn shows no pointer.
    return dark >= 10 && dark < arrow.width() * arrow.height() / 2;
}

} // namespace

bool Desktop::alignPointers(QSize screen) {
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        m_reason = QStringLiteral("xdotool is not installed");
        return false;
    }
    // weston's X11 back end moves its own pointer by the steps between the X pointer's positions,
    // counted from where it first saw the X pointer, and its own pointer may have been elsewhere
    // then (at the top left): the two then differ, and xdotool's clicks land beside their aim.
    // Both stop at the screen's edges, so after the far corner and then the near one they agree,
    // and stay agreed. Then weston's pointer shows on its background where the X pointer is, at a
    // point where neither starts (the middle or the top left), so an earlier screen can't pass.
    const QPoint probe(screen.width() / 3, screen.height() / 3);
    const bool aligned = waitUntil(
        [&] {
            run(QStringLiteral("xdotool"),
                {QStringLiteral("mousemove"), QStringLiteral("--sync"),
                 QString::number(screen.width() - 1), QString::number(screen.height() - 1),
                 QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("0"),
                 QStringLiteral("0"), QStringLiteral("mousemove"), QStringLiteral("--sync"),
                 QString::number(probe.x()), QString::number(probe.y())});
            return pointerShownAt(capture(), probe);
        },
        20000);
    if (!aligned)
        m_reason = QStringLiteral("weston's pointer does not follow the X pointer");
    return aligned;
}

bool Desktop::startWindowManager(Session session) {
    const auto managing = [] {
        QByteArray out;
        return run(QStringLiteral("xprop"),
                   {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")}, &out) &&
               out.contains("window id");
    };
    const QString program = name(session);
    const QStringList arguments = session == Session::Xfwm4
                                      ? QStringList{QStringLiteral("--compositor=off")}
                                      : QStringList{QStringLiteral("--sm-disable")};
    m_windowManager.setProcessChannelMode(QProcess::MergedChannels);
    m_windowManager.start(program, arguments);
    // Without an event loop (the desktop may start before the application) only a wait notices
    // that the window manager has ended.
    bool managed = false;
    waitUntil(
        [&] {
            managed = managing();
            return managed || m_windowManager.waitForFinished(0);
        },
        20000);
    if (managed)
        return true;
    m_reason = program + QStringLiteral(" on ") + m_display +
               (m_windowManager.state() == QProcess::NotRunning
                    ? QStringLiteral(" exited: ")
                    : QStringLiteral(" did not take the screen: ")) +
               QString::fromLocal8Bit(m_windowManager.readAll()).simplified();
    return false;
}

QImage Desktop::capture() const {
    QByteArray png;
    if (m_session != Session::Weston && m_session != Session::WestonWithSeat) {
        run(QStringLiteral("import"),
            {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")}, &png);
        return QImage::fromData(png).convertToFormat(QImage::Format_RGB32);
    }
    // The screenshooter writes a file named for the time into the current directory.
    QTemporaryDir into;
    QProcess shooter;
    shooter.setWorkingDirectory(into.path());
    shooter.start(QStringLiteral("weston-screenshooter"), QStringList{});
    if (!shooter.waitForFinished(10000)) {
        shooter.kill();
        shooter.waitForFinished(1000);
        return {};
    }
    const QStringList files = QDir(into.path()).entryList({QStringLiteral("*.png")}, QDir::Files);
    if (files.isEmpty())
        return {};
    return QImage(QDir(into.path()).filePath(files.first())).convertToFormat(QImage::Format_RGB32);
}

QImage Desktop::screenshot() {
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

namespace {

// A person's pointer arrives at a control before it clicks: move next to the point, then onto it,
// so the program sees the pointer enter whatever lies there.
QStringList pointTo(QPoint at) {
    return {QStringLiteral("mousemove"), QStringLiteral("--sync"),    QString::number(at.x() + 3),
            QString::number(at.y() + 3), QStringLiteral("mousemove"), QStringLiteral("--sync"),
            QString::number(at.x()),     QString::number(at.y())};
}

} // namespace

namespace {

QStringList settle() {
    return pauseBeforeClick ? QStringList{QStringLiteral("sleep"), QStringLiteral("0.3")}
                            : QStringList{};
}

} // namespace

void Desktop::click(QPoint at) {
    run(QStringLiteral("xdotool"),
        pointTo(at) + settle() + QStringList{QStringLiteral("click"), QStringLiteral("1")});
}

void Desktop::doubleClick(QPoint at) {
    run(QStringLiteral("xdotool"),
        pointTo(at) + settle() +
            QStringList{QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                        QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
}

bool Desktop::typeInto(const QString &title, const QString &keys) {
    const bool focused = waitUntil([&title] {
        run(QStringLiteral("wmctrl"), {QStringLiteral("-F"), QStringLiteral("-a"), title});
        QByteArray active;
        run(QStringLiteral("xdotool"),
            {QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")}, &active);
        return QString::fromUtf8(active).trimmed() == title;
    });
    return focused && run(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
}

bool Desktop::closeWindow(const QString &title) {
    return run(QStringLiteral("wmctrl"), {QStringLiteral("-F"), QStringLiteral("-c"), title});
}

QString Desktop::activeWindowTitle() {
    QByteArray out;
    run(QStringLiteral("xdotool"),
        {QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")}, &out);
    return QString::fromUtf8(out).trimmed();
}

QStringList Desktop::visibleWindowTitles() {
    QByteArray out;
    run(QStringLiteral("wmctrl"), {QStringLiteral("-l")}, &out);
    // Each line: window id, desktop, host, title.
    static const QRegularExpression line(
        QStringLiteral("^0x[0-9a-f]+\\s+-?\\d+\\s+\\S+(?: (.*))?$"));
    QStringList titles;
    for (const QString &text : QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = line.match(text);
        if (match.hasMatch())
            titles << match.captured(1);
    }
    return titles;
}

QList<QPair<QString, QString>> &ProgramRun::environment() {
    static QList<QPair<QString, QString>> variables;
    return variables;
}

ProgramRun::ProgramRun(const QString &program, const QString &folder,
                       const QStringList &arguments) {
    m_process.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    for (const auto &[name, value] : std::as_const(environment())) {
        if (value.isEmpty())
            env.remove(name);
        else
            env.insert(name, value);
    }
    m_process.setProcessEnvironment(env);
    m_process.start(program, arguments);
    m_process.waitForStarted(5000);
}

ProgramRun::~ProgramRun() {
    stopProcess(m_process);
}

bool ProgramRun::waitForExit(int milliseconds) {
    return waitUntil([this] { return m_process.state() == QProcess::NotRunning; }, milliseconds);
}

QString ProgramRun::standardError() {
    m_stderr += m_process.readAllStandardError();
    return QString::fromUtf8(m_stderr);
}

bool waitUntil(const std::function<bool()> &condition, int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(50);
    }
    return true;
}

std::optional<QPoint> findClientOrigin(const QImage &screen, const QColor &background) {
    const QRgb wanted = background.rgb();
    for (int y = 0; y < screen.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(screen.constScanLine(y));
        for (int x = 0; x < screen.width(); ++x) {
            // A run of the colour, not a stray pixel of an icon.
            if ((line[x] | 0xFF000000) == wanted && x + 8 < screen.width() &&
                (line[x + 8] | 0xFF000000) == wanted && y + 8 < screen.height() &&
                (screen.pixel(x, y + 8) | 0xFF000000) == wanted)
                return QPoint(x, y);
        }
    }
    return std::nullopt;
}

bool sameColour(const QColor &a, const QColor &b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}
