// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/soundplayer.h"

namespace common {

// The sound output of a program that plays nothing, so it need not load a sound library at all.
class SilentSoundPlayer final : public SoundPlayer {
private:
    void playToEnd(const QString &) override {}
};

} // namespace common
