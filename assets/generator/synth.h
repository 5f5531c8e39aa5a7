// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

namespace Synth {

inline constexpr int sampleRate = 22050;

struct Sound {
    QString fileName;
    std::vector<float> samples; // mono, -1 .. 1
};

// The starter sounds: an intro tune, a praise sparkle and a gentle "try again".
std::vector<Sound> allSounds();

} // namespace Synth
