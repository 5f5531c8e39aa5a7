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
// A report that has stood still for as long as it says, less this, has passed; but one that
// stands still for less than the least time is still moving, between two timing updates.
constexpr std::chrono::microseconds stillSlack = 50ms;
constexpr std::chrono::microseconds stillLeast = 100ms;
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
    // Returns once the last sample written has been heard, and not before the given time.
    void waitUntilHeard(pa_simple *stream, std::chrono::steady_clock::time_point notBefore) const;
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
    // where a stream asking for a short one waits for the block to end, up to 2 s. The stream
    // starts once the server holds the whole cue, or the buffer's worth of a longer one: the
    // output then mixes it in at once and in one piece, where a stream that starts with its
    // first packet gets the rest a block late, after a gap. The hold doesn't grow with the
    // buffer: it ends when the server says the last sample has been heard.
    const auto ahead = std::uint32_t(frameBytes * spec.rate * bufferAhead.count());
    const std::int64_t most =
        std::min(wave->frames(), std::int64_t(spec.rate) * longestCue.count());
    const auto prebuf = std::uint32_t(
        std::min<std::int64_t>(most, std::int64_t(spec.rate) * bufferAhead.count()) * frameBytes);
    const pa_buffer_attr attributes{std::uint32_t(-1), ahead, prebuf, std::uint32_t(-1),
                                    std::uint32_t(-1)};
    int error = 0;
    if (pa_simple *stream =
            libraries.simpleNew(nullptr, application.constData(), SoundLibraries::playback, nullptr,
                                name.constData(), &spec, nullptr, &attributes, &error)) {
        const auto start = std::chrono::steady_clock::now();
        std::int64_t frames = 0;
        bool written = true;
        while (written && frames < most && !cutOff) {
            // The buffer's worth in one write, so that it reaches the server at once.
            const QByteArray block = wave->read(
                std::min(most - frames, frames == 0 ? std::int64_t(spec.rate) * bufferAhead.count()
                                                    : framesPerWrite));
            if (block.isEmpty())
                break;
            frames += block.size() / frameBytes;
            written = libraries.simpleWrite(stream, block.constData(), std::size_t(block.size()),
                                            &error) == 0;
        }
        // No output plays faster than its rate, whatever the server reports meanwhile.
        if (written)
            waitUntilHeard(stream,
                           start + std::chrono::microseconds(frames * 1'000'000 / spec.rate));
        // Whatever the output has not played yet ends here.
        libraries.simpleFree(stream);
    }
    finished = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto ignored = ::write(done, &one, sizeof one);
}

// The stream's latency is the time until the last sample written is heard: what the server still
// holds and the output's own delay. It runs down with the output's clock. A report that stands
// still has stopped following it: the stream ran dry and only the output's delay was left, the
// client's clock hasn't caught up with a stream the output took in one piece, or the server is
// stuck. One that has stood still for about as long as it says has passed. No drain: the server
// acknowledges one only at the output's next block, which on a quiet output comes up to 2 s
// after the end.
void PulseSoundPlayer::Cue::waitUntilHeard(pa_simple *stream,
                                           std::chrono::steady_clock::time_point notBefore) const {
    using Clock = std::chrono::steady_clock;
    std::chrono::microseconds lowest = std::chrono::microseconds::max();
    Clock::time_point lowestAt = Clock::now();
    bool stoodStill = false;
    while (!cutOff) {
        int error = 0;
        const std::uint64_t reported = libraries.simpleLatency(stream, &error);
        if (reported == std::uint64_t(-1))
            return;
        const std::chrono::microseconds latency(
            std::int64_t(std::min<std::uint64_t>(reported, std::uint64_t(latencyLimit.count()))));
        const Clock::time_point now = Clock::now();
        if (latency < lowest - heard) {
            lowest = latency;
            lowestAt = now;
        }
        stoodStill = stoodStill || now - lowestAt >= std::max(latency - stillSlack, stillLeast);
        if (now >= notBefore && (latency <= heard || stoodStill))
            return;
        std::this_thread::sleep_for(latency > heard ? std::min(latency, latencyPoll) : latencyPoll);
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
