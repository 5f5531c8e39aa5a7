// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace common {

// The windows are laid out in twips; at the design's size 15 twips make one pixel (96 dots per
// inch). The layout scale multiplies that: below 1 where the window would not fit the screen,
// above 1 for the part of the desktop's scale that Qt doesn't take in whole device pixels. Set it
// once, before any window is made: positions, sizes, fonts, pictures and lines all follow it.
inline constexpr int twipsPerPixel = 15;

qreal layoutScale();
void setLayoutScale(qreal scale);

// The nearest whole pixel.
int twipsToPixels(int twips);
QSize twipsToPixels(QSize twips);
// Each edge rounded to its nearest pixel, so controls that meet in the design meet on the screen.
QRect twipsRect(int left, int top, int width, int height);

// A line or a picture the design draws this many pixels wide, at the layout scale; a line never
// gets thinner than one pixel.
int scaledPixels(int pixels);

// Puts widget where the design has it: at left, top in its parent, width by height, all in twips.
void place(QWidget *widget, int left, int top, int width, int height);

} // namespace common
