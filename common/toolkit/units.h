// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace common {

// The windows are laid out in twips; 15 twips make one pixel at 96 dots per inch.
inline constexpr int twipsPerPixel = 15;

constexpr int twipsToPixels(int twips) {
    return (twips >= 0 ? twips + twipsPerPixel / 2 : twips - twipsPerPixel / 2) / twipsPerPixel;
}

constexpr QSize twipsToPixels(QSize twips) {
    return QSize(twipsToPixels(twips.width()), twipsToPixels(twips.height()));
}

constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

// Puts widget where the design has it: at left, top in its parent, width by height, all in twips.
void place(QWidget *widget, int left, int top, int width, int height);

} // namespace common
