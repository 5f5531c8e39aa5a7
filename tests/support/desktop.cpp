#include "support/desktop.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
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

} // namespace

void Desktop::stop() {
    m_pulse.stop();
    stopProcess(m_windowManager);
    stopProcess(m_xserver);
}

bool Desktop::start(QSize screen) {
    for (const char *tool : {"Xvfb", "openbox", "xdotool", "xprop", "wmctrl"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            m_reason = QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
            return false;
        }
    }
    // A display number nobody else uses.
    int number = 90;
    while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)) ||
           QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
        ++number;
    m_display = QStringLiteral(":%1").arg(number);
    m_xserver.setProcessChannelMode(QProcess::MergedChannels);
    const QString size = QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height());
    m_xserver.start(QStringLiteral("Xvfb"),
                    {m_display, QStringLiteral("-screen"), QStringLiteral("0"), size,
                     QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!m_xserver.waitForStarted(5000)) {
        m_reason = QStringLiteral("Xvfb did not start");
        return false;
    }
    qputenv("DISPLAY", m_display.toLocal8Bit());
    if (!waitForServer())
        return false;

    if (!startWindowManager())
        return false;
    if (!m_pulse.start()) {
        m_reason = m_pulse.reason();
        return false;
    }
    return true;
}

bool Desktop::startWindowManager() {
    const auto managing = [] {
        QByteArray out;
        return run(QStringLiteral("xprop"),
                   {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")}, &out) &&
               out.contains("window id");
    };
    // On a busy machine openbox now and then never takes the screen; a second start does.
    QString output;
    m_windowManager.setProcessChannelMode(QProcess::MergedChannels);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        m_windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        bool managed = false;
        waitUntil(
            [&] {
                managed = managing();
                return managed || m_windowManager.state() == QProcess::NotRunning;
            },
            20000);
        if (managed)
            return true;
        output += QString::fromLocal8Bit(m_windowManager.readAll());
        output += QStringLiteral("[attempt %1: %2] ")
                      .arg(attempt)
                      .arg(m_windowManager.state() == QProcess::NotRunning ? "exited" : "running");
        qWarning("openbox did not come up, starting it again: %s", qPrintable(output));
        stopProcess(m_windowManager);
    }
    m_reason = QStringLiteral("openbox did not come up: ") + output;
    return false;
}

bool Desktop::waitForServer() {
    const bool up = waitUntil(
        [] {
            return run(QStringLiteral("xprop"),
                       {QStringLiteral("-root"), QStringLiteral("-len"), QStringLiteral("1")});
        },
        10000);
    if (!up)
        m_reason =
            QStringLiteral("Xvfb did not answer: ") + QString::fromLocal8Bit(m_xserver.readAll());
    return up;
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
