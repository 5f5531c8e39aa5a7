// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/units.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace common {

namespace {
qreal scale = 1;
}

qreal layoutScale() {
    return scale;
}

void setLayoutScale(qreal newScale) {
    scale = newScale;
}

int twipsToPixels(int twips) {
    return int(std::lround(twips * scale / twipsPerPixel));
}

QSize twipsToPixels(QSize twips) {
    return QSize(twipsToPixels(twips.width()), twipsToPixels(twips.height()));
}

QRect twipsRect(int left, int top, int width, int height) {
    const int x = twipsToPixels(left);
    const int y = twipsToPixels(top);
    return QRect(x, y, twipsToPixels(left + width) - x, twipsToPixels(top + height) - y);
}

int scaledPixels(int pixels) {
    if (pixels <= 0)
        return 0;
    return std::max(1, int(std::lround(pixels * scale)));
}

void place(QWidget *widget, int left, int top, int width, int height) {
    widget->setGeometry(twipsRect(left, top, width, height));
}

} // namespace common
