// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A private PulseAudio server with one null sink, for tests that listen to what was played.
// start() points PULSE_SERVER at it, so it must run before the program first touches audio. With
// TAVRIN_TEST_SOUND_SERVER=pipewire in the environment it is PipeWire's PulseAudio server
// instead, as on GNOME desktops.
class PulseServer final {
public:
    PulseServer();
    ~PulseServer() { stop(); }

    // False, with reason() set, when pulseaudio is missing or does not come up.
    bool start();
    // Stops the server and its helpers; while the application object still exists, so the
    // processes can be waited for.
    void stop();
    QString reason() const { return m_reason; }
    // The stream of silence start() plays into the sink, so that its monitor delivers the quiet
    // stretches too. Without it nothing plays there but what the test plays, as on a desktop
    // where only the program sounds.
    bool startSilence();
    void stopSilence();
    QString serverAddress() const;
    QString sinkName() const { return QStringLiteral("testsink"); }
    // What was played into the sink, for MonitorRecorder.
    QString monitorName() const { return sinkName() + QStringLiteral(".monitor"); }

private:
    bool startOnce(const QString &pulseaudio);

    enum class Kind { PulseAudio, PipeWire };
    const Kind m_kind;
    bool m_sinkLoaded = false;
    QTemporaryDir m_runtime;
    QProcess m_server;
    QProcess m_silence;
    QString m_reason;
};
