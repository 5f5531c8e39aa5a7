// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/pulsesoundplayer.h"

#include "sound/soundlibraries.h"
#include "sound/wavefile.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <atomic>
#include <thread>

#include <sys/eventfd.h>
#include <unistd.h>

namespace common {

namespace {

using namespace std::chrono_literals;

// Room for connecting to the server and for the output's latency on top of the sound itself.
constexpr std::chrono::milliseconds playMargin = 3s;
// How long a cue waits for the last one, cut off at its bound, to let go of its stream.
constexpr std::chrono::milliseconds lastCueGrace = 500ms;
// A reported latency beyond this is taken for a wrong report.
constexpr std::chrono::microseconds latencyLimit = 5s;
// How often the latency is asked for while the end is awaited.
constexpr std::chrono::microseconds latencyPoll = 10ms;
// The end has been heard once this little is left.
constexpr std::chrono::microseconds heard = 1ms;
constexpr std::int64_t framesPerWrite = 4096;
// The stream's buffer: long enough that the output's latency the stream asks for is the longest
// an output has, see Cue::play().
constexpr std::chrono::seconds bufferAhead{5};

} // namespace

// One sound on its way out. Both the waiting thread and the playing thread hold it, so the one
// that lets go last frees it, even when the waiting one gave up on a stuck server.
struct PulseSoundPlayer::Cue {
    Cue(const SoundLibraries &libraries, std::unique_ptr<WaveFile> wave, QByteArray application,
        QByteArray name)
        : libraries(libraries)
        , wave(std::move(wave))
        , application(std::move(application))
        , name(std::move(name)) {}
    ~Cue() {
        if (done >= 0)
            ::close(done);
    }
    Cue(const Cue &) = delete;
    Cue &operator=(const Cue &) = delete;

    void play();
    // Sleeps until then, or until the cue is cut off.
    void sleepUntil(std::chrono::steady_clock::time_point end) const;
    void waitForLatency(pa_simple *stream) const;
    // Lets events run until the cue is through or the time is up; whether it is through.
    bool waitFor(std::chrono::milliseconds time) const;

    const SoundLibraries &libraries;
    std::unique_ptr<WaveFile> wave;
    QByteArray application;
    QByteArray name;
    // Becomes readable when the playing thread is through.
    int done = ::eventfd(0, EFD_CLOEXEC);
    std::atomic<bool> finished = false;
    // Set by the waiting thread when the cue has reached its bound: stop writing and waiting.
    std::atomic<bool> cutOff = false;
};

void PulseSoundPlayer::Cue::play() {
    const pa_sample_spec spec = wave->sampleSpec();
    const auto frameBytes = std::uint32_t(wave->bytesPerFrame());
    // A long buffer: an output that sleeps through long blocks while nothing plays (PulseAudio's
    // null sink does) takes back such a block for a stream that asks for a latency as long,
    // where a stream asking for a short one waits for the block to end, up to 2 s. Playing
    // begins with the first frame, not once the buffer is full, so a short cue starts at once
    // as well. The hold doesn't grow with the buffer: it ends when the server says the last
    // sample has been heard.
    const auto ahead = std::uint32_t(frameBytes * spec.rate * bufferAhead.count());
    const pa_buffer_attr attributes{std::uint32_t(-1), ahead, frameBytes, std::uint32_t(-1),
                                    std::uint32_t(-1)};
    int error = 0;
    if (pa_simple *stream =
            libraries.simpleNew(nullptr, application.constData(), SoundLibraries::playback, nullptr,
                                name.constData(), &spec, nullptr, &attributes, &error)) {
        const auto start = std::chrono::steady_clock::now();
        const std::int64_t most = std::int64_t(spec.rate) * longestCue.count();
        std::int64_t frames = 0;
        bool written = true;
        while (written && frames < most && !cutOff) {
            const QByteArray block = wave->read(std::min(most - frames, framesPerWrite));
            if (block.isEmpty())
                break;
            frames += block.size() / frameBytes;
            written = libraries.simpleWrite(stream, block.constData(), std::size_t(block.size()),
                                            &error) == 0;
        }
        if (written) {
            // No output plays faster than its rate, whatever the server reports meanwhile; then
            // the output's latency, as the server reports it.
            sleepUntil(start + std::chrono::microseconds(frames * 1'000'000 / spec.rate));
            waitForLatency(stream);
        }
        // Whatever the output has not played yet ends here.
        libraries.simpleFree(stream);
    }
    finished = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto ignored = ::write(done, &one, sizeof one);
}

void PulseSoundPlayer::Cue::sleepUntil(std::chrono::steady_clock::time_point end) const {
    while (!cutOff && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            end - std::chrono::steady_clock::now(), latencyPoll));
}

// The stream's latency is the time until the last sample written is heard: what the server still
// holds and the output's own delay. It runs down with the output's clock. Once the stream has run
// dry the report stands still at the delay that was left then, so a report that has stood still
// for as long as it says has passed as well (and so has one from a stuck server). No drain: the
// server acknowledges one only at the output's next block, which on a quiet output comes up to
// 2 s after the end.
void PulseSoundPlayer::Cue::waitForLatency(pa_simple *stream) const {
    using Clock = std::chrono::steady_clock;
    std::chrono::microseconds lowest = std::chrono::microseconds::max();
    Clock::time_point lowestAt = Clock::now();
    while (!cutOff) {
        int error = 0;
        const std::uint64_t reported = libraries.simpleLatency(stream, &error);
        if (reported == std::uint64_t(-1))
            return;
        const std::chrono::microseconds latency(
            std::int64_t(std::min<std::uint64_t>(reported, std::uint64_t(latencyLimit.count()))));
        if (latency <= heard)
            return;
        const Clock::time_point now = Clock::now();
        if (latency < lowest - heard) {
            lowest = latency;
            lowestAt = now;
        } else if (now - lowestAt >= latency) {
            return;
        }
        std::this_thread::sleep_for(std::min(latency, latencyPoll));
    }
}

bool PulseSoundPlayer::Cue::waitFor(std::chrono::milliseconds time) const {
    if (finished)
        return true;
    QEventLoop loop;
    QSocketNotifier notifier(done, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(time);
    // Clicks and keys wait in the queue meanwhile; the window still paints.
    if (!finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return finished;
}

PulseSoundPlayer::PulseSoundPlayer(const SoundLibraries *libraries)
    : m_libraries(libraries) {}

void PulseSoundPlayer::playToEnd(const QString &fileName) {
    const SoundLibraries *libraries = m_libraries ? m_libraries : SoundLibraries::get();
    if (!libraries)
        return;
    // The last cue was cut off at its bound and is letting go of its stream; unless the server
    // is stuck, that takes a moment.
    if (m_last && !m_last->waitFor(lastCueGrace))
        return;
    std::unique_ptr<WaveFile> wave = WaveFile::open(*libraries, fileName);
    if (!wave)
        return;
    const std::chrono::milliseconds limit =
        std::min<std::chrono::milliseconds>(wave->duration(), longestCue) + playMargin;
    auto cue = std::make_shared<Cue>(*libraries, std::move(wave),
                                     QCoreApplication::applicationName().toUtf8(),
                                     QFileInfo(fileName).fileName().toUtf8());
    if (cue->done < 0)
        return;
    std::thread([cue] { cue->play(); }).detach();
    if (!cue->waitFor(limit))
        cue->cutOff = true;
    m_last = std::move(cue);
}

} // namespace common
