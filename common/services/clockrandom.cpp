// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/clockrandom.h"

#include <chrono>

namespace common {

ClockRandom::ClockRandom() {
    reseed();
}

void ClockRandom::reseed() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    std::seed_seq seed{static_cast<unsigned>(now), static_cast<unsigned>(now >> 32),
                       static_cast<unsigned>(wall), static_cast<unsigned>(wall >> 32)};
    m_engine.seed(seed);
}

float ClockRandom::next() {
    // 24 random bits fill a float's mantissa exactly, so the result is never 1.0.
    return static_cast<float>(m_engine() >> 8) * (1.0f / 16777216.0f);
}

} // namespace common
