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

// Room for connecting to the server and for its buffers on top of the sound itself.
constexpr std::chrono::milliseconds playMargin{2000};
// The server's buffer ahead of what is heard: small, so the output's latency that is left after
// the drain is small as well.
constexpr std::chrono::milliseconds bufferAhead{100};
// A reported output latency beyond this is taken for a wrong report.
constexpr std::uint64_t latencyLimitUs = 1'000'000;
constexpr std::int64_t framesPerWrite = 4096;

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

    const SoundLibraries &libraries;
    std::unique_ptr<WaveFile> wave;
    QByteArray application;
    QByteArray name;
    // Becomes readable when the playing thread is through.
    int done = ::eventfd(0, EFD_CLOEXEC);
    std::atomic<bool> finished = false;
};

void PulseSoundPlayer::Cue::play() {
    const pa_sample_spec spec = wave->sampleSpec();
    const auto ahead =
        std::uint32_t(wave->bytesPerFrame() * spec.rate * bufferAhead.count() / 1000);
    const pa_buffer_attr attributes{std::uint32_t(-1), ahead, std::uint32_t(-1), std::uint32_t(-1),
                                    std::uint32_t(-1)};
    int error = 0;
    if (pa_simple *stream =
            libraries.simpleNew(nullptr, application.constData(), SoundLibraries::playback, nullptr,
                                name.constData(), &spec, nullptr, &attributes, &error)) {
        bool written = true;
        for (QByteArray block = wave->read(framesPerWrite); written && !block.isEmpty();
             block = wave->read(framesPerWrite))
            written = libraries.simpleWrite(stream, block.constData(), std::size_t(block.size()),
                                            &error) == 0;
        // The drain ends when the server has taken the last sample from the stream; the output
        // still holds its latency's worth, which freeing the stream now would cut off.
        if (written && libraries.simpleDrain(stream, &error) == 0) {
            const std::uint64_t latency = libraries.simpleLatency(stream, &error);
            if (latency <= latencyLimitUs)
                std::this_thread::sleep_for(std::chrono::microseconds(latency));
        }
        libraries.simpleFree(stream);
    }
    finished = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto ignored = ::write(done, &one, sizeof one);
}

void PulseSoundPlayer::playToEnd(const QString &fileName) {
    const SoundLibraries *libraries = SoundLibraries::get();
    if (!libraries)
        return;
    // The server hasn't come back from the last cue yet.
    if (m_last && !m_last->finished)
        return;
    std::unique_ptr<WaveFile> wave = WaveFile::open(*libraries, fileName);
    if (!wave)
        return;
    const std::chrono::milliseconds limit = wave->duration() + playMargin;
    auto cue = std::make_shared<Cue>(*libraries, std::move(wave),
                                     QCoreApplication::applicationName().toUtf8(),
                                     QFileInfo(fileName).fileName().toUtf8());
    if (cue->done < 0)
        return;

    QEventLoop loop;
    QSocketNotifier notifier(cue->done, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    std::thread([cue] { cue->play(); }).detach();
    deadline.start(limit);
    // Clicks and keys wait in the queue meanwhile; the window still paints.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_last = std::move(cue);
}

} // namespace common
