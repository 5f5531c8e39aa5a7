// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/soundplayer.h"

#include <memory>

namespace common {

// Plays a .wav file on the sound server and returns once it has been heard to its end: the
// samples drained from the server and the output's own latency passed. The libraries are loaded
// at the first sound, so a program with sound off never maps them. The samples go out on a
// thread of the player's own while this one waits with the window painting and user input
// queued; the wait is bounded by the sound's length, so a stuck server can't hang the program.
// After such a stuck cue the player stays silent until the server has come back from it.
class PulseSoundPlayer final : public SoundPlayer {
public:
private:
    void playToEnd(const QString &fileName) override;

    struct Cue;

    std::shared_ptr<Cue> m_last;
};

} // namespace common
