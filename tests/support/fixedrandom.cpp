// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/fixedrandom.h"

FixedRandom::FixedRandom(std::vector<float> values)
    : m_values(std::move(values)) {}

void FixedRandom::setValues(std::vector<float> values) {
    m_values = std::move(values);
    m_next = 0;
}

float FixedRandom::next() {
    if (m_values.empty())
        return 0.0f;
    const float value = m_values[m_next];
    m_next = (m_next + 1) % m_values.size();
    return value;
}
