// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/pulseserver.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <unistd.h>

void PulseServer::stopSilence() {
    if (m_silence.state() != QProcess::NotRunning) {
        m_silence.kill();
        m_silence.waitForFinished(2000);
    }
}

bool PulseServer::startSilence() {
    m_silence.setStandardInputFile(QStringLiteral("/dev/zero"));
    m_silence.start(QStringLiteral("pacat"),
                    {QStringLiteral("--playback"), QStringLiteral("--device=%1").arg(sinkName()),
                     QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                     QStringLiteral("--rate=8000"), QStringLiteral("--channels=1")});
    return m_silence.waitForStarted(5000);
}

void PulseServer::stop() {
    stopSilence();
    if (m_server.state() != QProcess::NotRunning) {
        // PipeWire's three daemons and their bus share the group the server's process leads.
        const pid_t group = pid_t(m_server.processId());
        if (m_kind == Kind::PipeWire)
            ::kill(-group, SIGTERM);
        m_server.terminate();
        if (!m_server.waitForFinished(3000)) {
            m_server.kill();
            m_server.waitForFinished(2000);
        }
        if (m_kind == Kind::PipeWire)
            ::kill(-group, SIGKILL);
    }
}

PulseServer::PulseServer()
    : m_kind(qgetenv("TAVRIN_TEST_SOUND_SERVER") == "pipewire" ? Kind::PipeWire
                                                               : Kind::PulseAudio) {}

QString PulseServer::serverAddress() const {
    return QStringLiteral("unix:") + m_runtime.filePath(m_kind == Kind::PipeWire
                                                            ? QStringLiteral("pulse/native")
                                                            : QStringLiteral("native"));
}

bool PulseServer::start() {
    const QString pulseaudio = QStandardPaths::findExecutable(
        m_kind == Kind::PipeWire ? QStringLiteral("pipewire-pulse") : QStringLiteral("pulseaudio"));
    if (pulseaudio.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty()) {
        m_reason = m_kind == Kind::PipeWire
                       ? QStringLiteral("pipewire-pulse or pactl is not installed")
                       : QStringLiteral("pulseaudio or pactl is not installed");
        return false;
    }
    // On a busy machine the server now and then never answers; a fresh one does.
    QString reasons;
    for (int attempt = 1; attempt <= 3; ++attempt) {
        if (startOnce(pulseaudio))
            return true;
        reasons += QStringLiteral("[attempt %1: %2] ").arg(attempt).arg(m_reason);
        qWarning("%s", qPrintable(reasons));
        stop();
    }
    m_reason = reasons;
    return false;
}

bool PulseServer::startOnce(const QString &pulseaudio) {
    QFile::remove(m_runtime.filePath(QStringLiteral("native"))); // left by a failed attempt
    m_sinkLoaded = false;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    env.insert(QStringLiteral("HOME"), m_runtime.path());
    m_server.setProcessEnvironment(env);
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    if (m_kind == Kind::PipeWire) {
        // The daemon, its session manager and its PulseAudio server, on a bus of their own, in a
        // process group of their own so that stop() ends all of them.
        m_server.setChildProcessModifier([] { ::setpgid(0, 0); });
        m_server.start(QStringLiteral("dbus-run-session"),
                       {QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"),
                        QStringLiteral("pipewire & wireplumber & exec pipewire-pulse")});
    } else {
        m_server.start(
            pulseaudio,
            {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
             QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disable-shm=yes"),
             QStringLiteral("--load=module-null-sink sink_name=%1").arg(sinkName()),
             QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=%1")
                 .arg(m_runtime.filePath(QStringLiteral("native")))});
    }
    if (!m_server.waitForStarted(5000)) {
        m_reason = QStringLiteral("pulseaudio did not start: ") + m_server.errorString();
        return false;
    }
    qputenv("PULSE_SERVER", serverAddress().toLocal8Bit());
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        QProcess probe;
        probe.start(QStringLiteral("pactl"),
                    {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sinks")});
        probe.waitForFinished(3000);
        if (m_kind == Kind::PipeWire && probe.exitCode() == 0 && !m_sinkLoaded) {
            // PipeWire's server starts without the sink; it becomes the default one.
            m_sinkLoaded = QProcess::execute(
                               QStringLiteral("pactl"),
                               {QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                                QStringLiteral("sink_name=%1").arg(sinkName())}) == 0 &&
                           QProcess::execute(QStringLiteral("pactl"),
                                             {QStringLiteral("set-default-sink"), sinkName()}) == 0;
            continue;
        }
        if (probe.exitCode() == 0 && probe.readAllStandardOutput().contains(sinkName().toUtf8())) {
            // An idle null sink's monitor delivers nothing; a stream of silence keeps it running,
            // so a recording covers the quiet stretches too.
            if (startSilence())
                return true;
            m_reason = QStringLiteral("pacat did not start");
            return false;
        }
        if (m_server.state() == QProcess::NotRunning)
            break;
        QThread::msleep(100);
    }
    m_reason =
        QStringLiteral("pulseaudio did not come up: ") + QString::fromLocal8Bit(m_server.readAll());
    return false;
}
