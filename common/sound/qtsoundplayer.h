#pragma once

#include "services/soundplayer.h"

#include <chrono>
#include <optional>

namespace common {

// Plays through Qt Multimedia and waits, bounded by the sound's own length, until it has ended.
// Clicks and keys made meanwhile wait in the queue and are handled afterwards, in order.
class QtSoundPlayer final : public SoundPlayer {
public:
    void play(const QString &fileName) override;

    // The playing time of a PCM .wav file, or nothing when the file isn't one.
    static std::optional<std::chrono::milliseconds> wavDuration(const QString &fileName);
};

} // namespace common
