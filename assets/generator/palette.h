// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRgb>

#include <array>

// The one fixed set of solid colours every icon is drawn with, so the icons stay flat and
// share a look. Exactly 16 entries; transparency comes on top of these.
namespace Palette {

inline constexpr QRgb outline = 0xff1c1c28;
inline constexpr QRgb white = 0xffffffff;
inline constexpr QRgb red = 0xffe42828;
inline constexpr QRgb pink = 0xffff8fb0;
inline constexpr QRgb green = 0xff2ea043;
inline constexpr QRgb lime = 0xff9ad83a;
inline constexpr QRgb yellow = 0xffffd700;
inline constexpr QRgb gold = 0xffd99a00;
inline constexpr QRgb orange = 0xffff8a1c;
inline constexpr QRgb blue = 0xff1f5fd0;
inline constexpr QRgb lightBlue = 0xff8fd3ff;
inline constexpr QRgb grey = 0xff9aa0a8;
inline constexpr QRgb darkGrey = 0xff5a5f66;
inline constexpr QRgb brown = 0xff8a5a2c;
inline constexpr QRgb purple = 0xff8e44c8;
inline constexpr QRgb lightGrey = 0xffdadde2;

inline constexpr std::array<QRgb, 16> all{outline,  white, red,    pink,     green,     lime,
                                          yellow,   gold,  orange, blue,     lightBlue, grey,
                                          darkGrey, brown, purple, lightGrey};

} // namespace Palette
