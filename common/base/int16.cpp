// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/int16.h"

#include "base/error.h"

#include <cmath>
#include <limits>

namespace common {

namespace {

[[noreturn]] void overflow(const QString &value) {
    throw Error(QStringLiteral("Spill: %1 ryms inte i ett 16-bitars heltal (-32768 till 32767)")
                    .arg(value));
}

} // namespace

Int16 toInt16(long long value) {
    if (value < std::numeric_limits<Int16>::min() || value > std::numeric_limits<Int16>::max())
        overflow(QString::number(value));
    return static_cast<Int16>(value);
}

Int16 floorToInt16(double value) {
    const double whole = std::floor(value);
    if (!std::isfinite(whole) || whole < std::numeric_limits<Int16>::min() ||
        whole > std::numeric_limits<Int16>::max())
        overflow(QString::number(value, 'g', 10));
    return static_cast<Int16>(whole);
}

Int16 add16(Int16 a, Int16 b) {
    return toInt16(static_cast<long long>(a) + b);
}

Int16 sub16(Int16 a, Int16 b) {
    return toInt16(static_cast<long long>(a) - b);
}

} // namespace common
