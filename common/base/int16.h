// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace common {

// Every number the programs keep is a 16-bit signed integer; leaving the range is an error.
using Int16 = std::int16_t;

Int16 toInt16(long long value);
// Largest whole number not above value, as a 16-bit integer.
Int16 floorToInt16(double value);
Int16 add16(Int16 a, Int16 b);
Int16 sub16(Int16 a, Int16 b);

} // namespace common
