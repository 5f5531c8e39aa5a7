#pragma once

#include <QString>

namespace common {

// Plays a .wav file and returns when it has finished. A missing or unreadable file, or no
// audio output at all, plays nothing and returns at once, without a message.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString &fileName) = 0;
};

} // namespace common
