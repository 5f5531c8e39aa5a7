// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace common {

// Tells screen readers what the program's own controls are: a clickable control by its role,
// with a press action and, when it can be chosen, whether it is; the gauge and the value bars as
// values (a value bar by the number it shows, so that "increase" raises it); and each main window
// as a window. Call once the application exists, before a window is made; later calls do nothing.
void installAccessibility();

} // namespace common
