#pragma once

#include "services/soundplayer.h"

namespace common {

// The sound output of a program that plays nothing, so it need not load a sound library at all.
class SilentSoundPlayer final : public SoundPlayer {
public:
    void play(const QString &) override {}
};

} // namespace common
