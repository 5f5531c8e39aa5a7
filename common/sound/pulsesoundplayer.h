// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/soundplayer.h"

#include <chrono>
#include <memory>

namespace common {

class SoundLibraries;

// Plays a .wav file on the sound server and returns once it has been heard to its end: the
// samples played and the output's own latency passed, as the server reports it. The libraries are
// loaded at the first sound, so a program with sound off never maps them. The samples go out on a
// thread of the player's own while this one waits with the window painting and user input
// queued. The wait is bounded by the samples the file holds, so a stuck server can't hang the
// program; a cue that reaches the bound is cut off there, and the next one plays as usual. Only
// while the server stays stuck in a cut-off cue are the following ones silent.
class PulseSoundPlayer final : public SoundPlayer {
public:
    // The longest a cue plays; a longer sound is cut off there.
    static constexpr std::chrono::seconds longestCue{30};

    // Plays through the system's libraries, opened at the first sound, or through the given ones.
    explicit PulseSoundPlayer(const SoundLibraries *libraries = nullptr);

private:
    void playToEnd(const QString &fileName) override;

    struct Cue;

    const SoundLibraries *m_libraries;
    std::shared_ptr<Cue> m_last;
};

} // namespace common
