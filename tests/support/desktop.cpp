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

#include <optional>

namespace {

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
    stopProcess(m_compositor);
    stopProcess(m_xserver);
    // Last: the session's programs may still be talking on it.
    stopProcess(m_bus);
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
    }
    return {};
}

bool Desktop::start(Session session, QSize screen, bool withSound) {
    m_session = session;
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

void Desktop::click(QPoint at) {
    run(QStringLiteral("xdotool"),
        pointTo(at) + QStringList{QStringLiteral("click"), QStringLiteral("1")});
}

void Desktop::doubleClick(QPoint at) {
    run(QStringLiteral("xdotool"),
        pointTo(at) + QStringList{QStringLiteral("click"), QStringLiteral("--repeat"),
                                  QStringLiteral("2"), QStringLiteral("--delay"),
                                  QStringLiteral("80"), QStringLiteral("1")});
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

ProgramRun::ProgramRun(const QString &program, const QString &folder,
                       const QStringList &arguments) {
    m_process.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
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
