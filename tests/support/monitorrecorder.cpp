// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/monitorrecorder.h"

#include <QDeadlineTimer>
#include <QThread>

#include <cmath>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

MonitorRecorder::MonitorRecorder(QString device)
    : m_device(std::move(device)) {}

MonitorRecorder::~MonitorRecorder() {
    stop();
}

bool MonitorRecorder::start() {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return false;
    const QByteArray device = "--device=" + m_device.toLocal8Bit();
    const pid_t pid = fork();
    if (pid < 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        return false;
    }
    if (pid == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        // Small fragments: the arrival times are only as fine as the blocks.
        execlp("parec", "parec", device.constData(), "--format=s16le", "--channels=1",
               "--rate=8000", "--latency-msec=10", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    m_pid = pid;
    m_fd = pipeEnds[0];
    m_reader = std::thread([this, fd = m_fd] { readLoop(fd); });

    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        {
            const std::lock_guard lock(m_mutex);
            if (m_samples.size() >= 2 * sampleRate / 10)
                return true;
        }
        QThread::msleep(10);
    }
    return false;
}

QByteArray MonitorRecorder::stop() {
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    if (m_reader.joinable())
        m_reader.join();
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    return m_samples;
}

void MonitorRecorder::readLoop(int fd) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        const Clock::time_point now = Clock::now();
        if (n <= 0)
            return;
        const std::lock_guard lock(m_mutex);
        m_samples.append(buffer, n);
        m_arrivals.push_back({m_samples.size() / 2, now});
    }
}

QByteArray MonitorRecorder::samples() const {
    const std::lock_guard lock(m_mutex);
    return m_samples;
}

MonitorRecorder::Clock::time_point MonitorRecorder::timeOf(qsizetype index) const {
    const std::lock_guard lock(m_mutex);
    // The time sample 0 would have arrived by the least delayed block.
    std::optional<Clock::time_point> origin;
    for (const Arrival &arrival : m_arrivals) {
        const auto candidate =
            arrival.time - std::chrono::nanoseconds(arrival.endSample * 1'000'000'000 / sampleRate);
        if (!origin || candidate < *origin)
            origin = candidate;
    }
    return origin.value_or(Clock::now()) +
           std::chrono::nanoseconds(index * 1'000'000'000 / sampleRate);
}

qsizetype MonitorRecorder::indexAt(Clock::time_point time) const {
    const Clock::time_point zero = timeOf(0);
    if (time <= zero)
        return 0;
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(time - zero).count();
    return qsizetype((ns * sampleRate + 999'999'999) / 1'000'000'000);
}

namespace {

int sampleAt(const QByteArray &samples, qsizetype i) {
    return qint16(quint8(samples[2 * i]) | (quint8(samples[2 * i + 1]) << 8));
}

} // namespace

double rms(const QByteArray &samples, qsizetype from, qsizetype count) {
    const qsizetype total = samples.size() / 2;
    const qsizetype end = count < 0 ? total : std::min(total, from + count);
    double sum = 0;
    for (qsizetype i = from; i < end; ++i)
        sum += double(sampleAt(samples, i)) * sampleAt(samples, i);
    return end <= from ? 0.0 : std::sqrt(sum / double(end - from));
}

std::optional<qsizetype> firstLoudSample(const QByteArray &samples, qsizetype from, int threshold) {
    for (qsizetype i = std::max<qsizetype>(from, 0); i < samples.size() / 2; ++i) {
        if (std::abs(sampleAt(samples, i)) >= threshold)
            return i;
    }
    return std::nullopt;
}

double tonePower(const QByteArray &samples, qsizetype from, qsizetype count, double hz) {
    const double k = 2 * std::cos(2 * M_PI * hz / MonitorRecorder::sampleRate);
    double s1 = 0, s2 = 0;
    for (qsizetype i = from; i < from + count && i < samples.size() / 2; ++i) {
        const double s0 = sampleAt(samples, i) + k * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return (s1 * s1 + s2 * s2 - k * s1 * s2) / double(count * count);
}
