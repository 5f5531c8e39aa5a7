#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A private PulseAudio server with one null sink, for tests that listen to what was played.
// start() points PULSE_SERVER at it, so it must run before the program first touches audio.
class PulseServer final {
public:
    ~PulseServer() { stop(); }

    // False, with reason() set, when pulseaudio is missing or does not come up.
    bool start();
    // Stops the server and its helpers; while the application object still exists, so the
    // processes can be waited for.
    void stop();
    QString reason() const { return m_reason; }
    QString serverAddress() const;
    QString sinkName() const { return QStringLiteral("testsink"); }

    // Records the sink's monitor as 16-bit mono samples at 8000 Hz; returns once samples flow.
    bool startRecording();
    QByteArray stopRecording();

private:
    QTemporaryDir m_runtime;
    QProcess m_server;
    QProcess m_silence;
    QProcess m_recorder;
    QString m_reason;
};

// Root mean square of 16-bit little-endian samples.
double rms(const QByteArray &samples, qsizetype from = 0, qsizetype count = -1);
