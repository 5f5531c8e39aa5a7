// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Records a PulseAudio source, such as PulseServer::monitorName(), as 16-bit mono samples at
// 8000 Hz through parec, and notes when each block of samples arrived, so that a sample can be
// placed on the steady clock. The reader runs on a thread of its own: a busy GUI thread would
// delay the arrival times.
class MonitorRecorder final {
public:
    static constexpr int sampleRate = 8000;
    using Clock = std::chrono::steady_clock;

    explicit MonitorRecorder(QString device);
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder &) = delete;
    MonitorRecorder &operator=(const MonitorRecorder &) = delete;

    // Starts parec and returns once samples flow: the stream takes a moment to connect, and
    // nothing played before then would be heard.
    bool start();
    // Ends the recording; all the samples it made.
    QByteArray stop();

    // A copy of the samples so far.
    QByteArray samples() const;
    // When sample index was on the monitor. Blocks reach the reader later than their samples were
    // played, by a varying delay; the block that arrived earliest relative to its samples bounds
    // that delay best, so every sample is placed by that block.
    Clock::time_point timeOf(qsizetype index) const;
    // The first sample at or after the given time, as an index.
    qsizetype indexAt(Clock::time_point time) const;

private:
    void readLoop(int fd);

    struct Arrival {
        qsizetype endSample;
        Clock::time_point time;
    };

    QString m_device;
    int m_pid = -1;
    int m_fd = -1;
    std::thread m_reader;
    mutable std::mutex m_mutex;
    QByteArray m_samples;
    std::vector<Arrival> m_arrivals;
};

// Root mean square of count samples from index from, or of all from there.
double rms(const QByteArray &samples, qsizetype from = 0, qsizetype count = -1);
// The first sample from index from on whose magnitude reaches threshold, or nothing.
std::optional<qsizetype> firstLoudSample(const QByteArray &samples, qsizetype from, int threshold);
// Power of one frequency in count samples from index from (Goertzel), normalised by count.
double tonePower(const QByteArray &samples, qsizetype from, qsizetype count, double hz);
