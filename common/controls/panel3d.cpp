// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/panel3d.h"

#include "toolkit/units.h"

#include <QPainter>
#include <qdrawutil.h>

namespace common {

Panel3D::Panel3D(QWidget *parent)
    : ClickableWidget(QAccessible::Grouping, parent) {
    setBackground(systemButtonFace);
}

void Panel3D::setBackground(ColourValue colour) {
    setBackgroundColour(this, colour);
}

void Panel3D::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    qDrawShadePanel(&painter, rect(), palette(), false, scaledPixels(1));
}

} // namespace common
