// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/randomsource.h"

#include <vector>

// Hands out a fixed sequence of values, repeating it from the start when used up.
class FixedRandom final : public common::RandomSource {
public:
    explicit FixedRandom(std::vector<float> values = {0.0f});

    void setValues(std::vector<float> values);
    void reseed() override { ++reseedCount; }
    float next() override;

    int reseedCount = 0;

private:
    std::vector<float> m_values;
    std::size_t m_next = 0;
};
