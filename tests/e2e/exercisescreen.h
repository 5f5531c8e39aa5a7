// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPoint>

#include <array>

// What the exercise window shows where, in pixels from its client area's top left corner, and
// the pictures and tones the runs give it so that the screen and the sound tell them apart.
namespace exercisescreen {

inline const QColor windowBackground(128, 255, 255);
inline const QPoint doneButton(279, 387);
inline const QPoint quitButton(602, 42);
inline const QPoint targetPicture(332, 44);

inline QPoint palettePicture(int i) {
    return QPoint(4 + 32 + 72 * (i % 3) + 32, 95 + 32 + 64 * (i / 3) + 28);
}
inline QPoint slotPicture(int i) {
    return QPoint(4 + 319 + 72 * (i % 3) + 32, 95 + 33 + 64 * (i / 3) + 29);
}

// Nine solid colours, none of them a colour of the window itself.
inline const std::array<QColor, 9> iconColours{
    QColor(220, 20, 60),  QColor(255, 140, 0), QColor(34, 139, 34),
    QColor(30, 144, 255), QColor(148, 0, 211), QColor(139, 69, 19),
    QColor(255, 20, 147), QColor(0, 128, 128), QColor(128, 128, 0)};

// Each cue a tone of its own.
inline constexpr double introHz = 440;
inline constexpr double hornHz = 880;
inline constexpr double praiseHz = 1320;

} // namespace exercisescreen
