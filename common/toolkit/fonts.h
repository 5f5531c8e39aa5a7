// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

namespace common {

// Maps the design's font names onto packaged fonts with similar metrics. Call once at start.
void installFontSubstitutes();

// A font of the design: its name, its size in points at 96 dots per inch, bold or regular; at the
// layout scale (units.h).
QFont designFont(const QString &family, double points, bool bold);

} // namespace common
