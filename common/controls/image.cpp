// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/image.h"

#include "toolkit/units.h"

#include <QPainter>
#include <qdrawutil.h>

namespace common {

namespace {
constexpr int sunkenEdgeWidth = 2; // in pixels of the design
}

Image::Image(QWidget *parent)
    : ClickableWidget(QAccessible::Graphic, parent) {}

void Image::setPicture(const Picture &picture) {
    m_picture = picture;
    update();
}

void Image::setStretch(bool stretch) {
    m_stretch = stretch;
    update();
}

void Image::setSunkenBorder(bool sunken) {
    m_sunken = sunken;
    update();
}

void Image::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    QRect inside = rect();
    if (m_sunken) {
        const int sunkenEdge = scaledPixels(sunkenEdgeWidth);
        qDrawShadePanel(&painter, rect(), palette(), true, sunkenEdge);
        inside.adjust(sunkenEdge, sunkenEdge, -sunkenEdge, -sunkenEdge);
    }
    if (m_picture.isEmpty())
        return;
    painter.setClipRect(inside);
    if (m_stretch)
        painter.drawPixmap(inside, m_picture.pixmapFor(inside.size()));
    else
        painter.drawPixmap(inside.topLeft(), m_picture.pixmap());
}

} // namespace common
