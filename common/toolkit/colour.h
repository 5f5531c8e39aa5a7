// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

#include <cstdint>

class QWidget;

namespace common {

// The windows' colour values: 0x00BBGGRR with red in the low byte, or 0x800000nn for the
// system colour nn, which follows the application palette.
using ColourValue = std::uint32_t;

// The colours of the windows' design.
inline constexpr ColourValue black = 0x00000000;
inline constexpr ColourValue white = 0x00FFFFFF;
inline constexpr ColourValue red = 0x000000FF;
inline constexpr ColourValue cyan = 0x00FFFF00;
inline constexpr ColourValue lightGrey = 0x00C0C0C0;
inline constexpr ColourValue lightYellow = 0x0080FFFF;
inline constexpr ColourValue lightCyan = 0x00FFFF80;

inline constexpr ColourValue systemWindowBackground = 0x80000005;
inline constexpr ColourValue systemWindowText = 0x80000008;
inline constexpr ColourValue systemButtonFace = 0x8000000F;

// Throws common::Error for a system colour it does not know.
QColor toQColor(ColourValue value);

void setBackgroundColour(QWidget *widget, ColourValue value);
void setTextColour(QWidget *widget, ColourValue value);
void setColours(QWidget *widget, ColourValue background, ColourValue text);

} // namespace common
