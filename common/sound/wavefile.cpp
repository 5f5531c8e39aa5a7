// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/wavefile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace common {

namespace {

// The sound server takes up to 32 channels.
constexpr int maxChannels = 32;
// Below this a header's rate is no recording but a lie that would stretch a few bytes into
// minutes; the lowest rate in real use is 8000 Hz.
constexpr int minRate = 1000;

// The output format that holds a subtype's samples exactly; 0 for an encoding that isn't plain
// samples (ADPCM, a-law, mu-law and the like).
int outputFormat(int subtype) {
    switch (subtype) {
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
        return SoundLibraries::sampleS16NE;
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
        return SoundLibraries::sampleS32NE;
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
        return SoundLibraries::sampleFloat32NE;
    default:
        return 0;
    }
}

} // namespace

std::unique_ptr<WaveFile> WaveFile::open(const SoundLibraries &libraries, const QString &fileName) {
    // Without blocking, so that a named pipe or a device under a cue's name can't stop the
    // program in open(); only a regular file is read.
    const int fd =
        ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    SF_INFO info{};
    // The reader owns the descriptor from here: it closes it with the file, and also when the
    // open fails (whatever it is told, the library closes it then).
    SNDFILE *file = libraries.sfOpenFd(fd, SFM_READ, &info, SF_TRUE);
    if (!file)
        return nullptr;
    const int container = info.format & SF_FORMAT_TYPEMASK;
    const bool wave = container == SF_FORMAT_WAV || container == SF_FORMAT_WAVEX;
    if (!wave || outputFormat(info.format & SF_FORMAT_SUBMASK) == 0 || info.frames <= 0 ||
        info.samplerate < minRate || info.channels < 1 || info.channels > maxChannels) {
        libraries.sfClose(file);
        return nullptr;
    }
    return std::unique_ptr<WaveFile>(new WaveFile(libraries, file, info));
}

WaveFile::WaveFile(const SoundLibraries &libraries, SNDFILE *file, const SF_INFO &info)
    : m_libraries(libraries)
    , m_file(file)
    , m_frames(info.frames)
    , m_spec{outputFormat(info.format & SF_FORMAT_SUBMASK), std::uint32_t(info.samplerate),
             std::uint8_t(info.channels)} {}

WaveFile::~WaveFile() {
    m_libraries.sfClose(m_file);
}

std::chrono::milliseconds WaveFile::duration() const {
    return std::chrono::milliseconds(m_frames * 1000 / m_spec.rate);
}

std::size_t WaveFile::bytesPerFrame() const {
    const std::size_t sample = m_spec.format == SoundLibraries::sampleS16NE ? 2 : 4;
    return sample * m_spec.channels;
}

QByteArray WaveFile::read(std::int64_t maxFrames) {
    QByteArray bytes(qsizetype(std::size_t(maxFrames) * bytesPerFrame()), Qt::Uninitialized);
    sf_count_t frames = 0;
    if (m_spec.format == SoundLibraries::sampleS16NE)
        frames =
            m_libraries.sfReadShort(m_file, reinterpret_cast<short *>(bytes.data()), maxFrames);
    else if (m_spec.format == SoundLibraries::sampleS32NE)
        frames = m_libraries.sfReadInt(m_file, reinterpret_cast<int *>(bytes.data()), maxFrames);
    else
        frames =
            m_libraries.sfReadFloat(m_file, reinterpret_cast<float *>(bytes.data()), maxFrames);
    bytes.truncate(qsizetype(std::size_t(std::max<sf_count_t>(frames, 0)) * bytesPerFrame()));
    return bytes;
}

} // namespace common
