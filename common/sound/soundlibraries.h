// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sndfile.h>

#include <bit>
#include <cstddef>
#include <cstdint>

// The few declarations of the sound server's simple client that the player calls. The library is
// opened by name at the first sound, so the program is built without its headers; these match
// its stable C interface (pulse/simple.h, pulse/sample.h, pulse/def.h).
extern "C" {
struct pa_simple;
struct pa_channel_map;
struct pa_sample_spec {
    int format;
    std::uint32_t rate;
    std::uint8_t channels;
};
struct pa_buffer_attr {
    std::uint32_t maxlength;
    std::uint32_t tlength;
    std::uint32_t prebuf;
    std::uint32_t minreq;
    std::uint32_t fragsize;
};
}

namespace common {

// The wave reader and the sound server's client, opened from the system on the first sound, so
// that a program that never plays one never maps them or the dozen libraries they bring.
class SoundLibraries final {
public:
    // Sample formats in the machine's byte order and the playback direction, as the client
    // numbers them.
    static constexpr bool bigEndian = std::endian::native == std::endian::big;
    static constexpr int sampleS16NE = bigEndian ? 4 : 3;
    static constexpr int sampleFloat32NE = bigEndian ? 6 : 5;
    static constexpr int sampleS32NE = bigEndian ? 8 : 7;
    static constexpr int playback = 1;

    // Opens both libraries once; null when either is missing or lacks a function.
    static const SoundLibraries *get();

    decltype(&::sf_open_fd) sfOpenFd = nullptr;
    decltype(&::sf_close) sfClose = nullptr;
    decltype(&::sf_readf_short) sfReadShort = nullptr;
    decltype(&::sf_readf_int) sfReadInt = nullptr;
    decltype(&::sf_readf_float) sfReadFloat = nullptr;

    pa_simple *(*simpleNew)(const char *server, const char *name, int direction, const char *device,
                            const char *streamName, const pa_sample_spec *spec,
                            const pa_channel_map *map, const pa_buffer_attr *attributes,
                            int *error) = nullptr;
    int (*simpleWrite)(pa_simple *stream, const void *data, std::size_t bytes,
                       int *error) = nullptr;
    std::uint64_t (*simpleLatency)(pa_simple *stream, int *error) = nullptr;
    void (*simpleFree)(pa_simple *stream) = nullptr;

private:
    SoundLibraries() = default;
    bool open();
};

} // namespace common
