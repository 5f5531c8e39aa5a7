// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace common {

// Plays the program's cues. While a cue plays the program holds still: the window keeps
// painting, but a timer bound to the player drops its ticks and the window handles no click, key
// or close until the cue is over. Every player keeps this rule through play(); a player only
// says how a sound is heard to its end.
class SoundPlayer {
public:
    SoundPlayer() = default;
    virtual ~SoundPlayer() = default;
    SoundPlayer(const SoundPlayer &) = delete;
    SoundPlayer &operator=(const SoundPlayer &) = delete;

    // Plays a .wav file and returns when it has finished. A missing or unreadable file, or no
    // audio output at all, plays nothing and returns at once, without a message.
    void play(const QString &fileName);
    // True from the start of play() to its return.
    bool isPlaying() const { return m_playing > 0; }

private:
    // Plays the file and returns once it has been heard to its end, or at once when it can't
    // be played. Clicks and keys that arrive meanwhile must stay queued, not be handled.
    virtual void playToEnd(const QString &fileName) = 0;

    int m_playing = 0;
};

} // namespace common
