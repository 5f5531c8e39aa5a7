// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/fonts.h"

#include "toolkit/units.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace common {

void installFontSubstitutes() {
    QFont::insertSubstitutions(
        QStringLiteral("MS Sans Serif"),
        QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(
        QStringLiteral("Arial"),
        QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(
        QStringLiteral("Arial Rounded MT Bold"),
        QStringList{QStringLiteral("Comfortaa"), QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(
        QStringLiteral("Times New Roman"),
        QStringList{QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
}

QFont designFont(const QString &family, double points, bool bold) {
    QFont font(family);
    // Pixel sizes keep the layout the same whatever the screen's resolution says; they follow
    // the layout's scale like every other size.
    font.setPixelSize(std::max(1, int(std::lround(points * 96.0 / 72.0 * layoutScale()))));
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

} // namespace common
