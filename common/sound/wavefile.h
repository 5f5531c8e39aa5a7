// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sound/soundlibraries.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <memory>

namespace common {

// An uncompressed .wav file opened for playing: plain or extensible header, 8 to 32-bit integer
// or floating-point samples, any number of channels the sound server takes, at any rate. The
// samples come out in the format sampleSpec() names, which keeps their full precision.
class WaveFile final {
public:
    // Null when the file is missing, unreadable, not a regular file (a named pipe, a device), or
    // not such a wave (another container, a compressed encoding, no samples at all, a rate no
    // recording has).
    static std::unique_ptr<WaveFile> open(const SoundLibraries &libraries, const QString &fileName);
    ~WaveFile();
    WaveFile(const WaveFile &) = delete;
    WaveFile &operator=(const WaveFile &) = delete;

    pa_sample_spec sampleSpec() const { return m_spec; }
    // The length of the samples the file holds; the reader counts them from the file's size where
    // the header claims more.
    std::chrono::milliseconds duration() const;
    std::int64_t frames() const { return m_frames; }
    std::size_t bytesPerFrame() const;
    // Reads up to maxFrames frames from where the last read ended; empty at the end.
    QByteArray read(std::int64_t maxFrames);

private:
    WaveFile(const SoundLibraries &libraries, SNDFILE *file, const SF_INFO &info);

    const SoundLibraries &m_libraries;
    SNDFILE *m_file = nullptr;
    std::int64_t m_frames = 0;
    pa_sample_spec m_spec{};
};

} // namespace common
