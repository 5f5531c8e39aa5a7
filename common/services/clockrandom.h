// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/randomsource.h"

#include <random>

namespace common {

class ClockRandom final : public RandomSource {
public:
    ClockRandom();
    void reseed() override;
    float next() override;

private:
    std::mt19937 m_engine;
};

} // namespace common
