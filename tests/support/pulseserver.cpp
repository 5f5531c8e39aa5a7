// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/pulseserver.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

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
        m_server.terminate();
        if (!m_server.waitForFinished(3000)) {
            m_server.kill();
            m_server.waitForFinished(2000);
        }
    }
}

QString PulseServer::serverAddress() const {
    return QStringLiteral("unix:") + m_runtime.filePath(QStringLiteral("native"));
}

bool PulseServer::start() {
    const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (pulseaudio.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty()) {
        m_reason = QStringLiteral("pulseaudio or pactl is not installed");
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
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    env.insert(QStringLiteral("HOME"), m_runtime.path());
    m_server.setProcessEnvironment(env);
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.start(pulseaudio,
                   {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                    QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disable-shm=yes"),
                    QStringLiteral("--load=module-null-sink sink_name=%1").arg(sinkName()),
                    QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=%1")
                        .arg(m_runtime.filePath(QStringLiteral("native")))});
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
