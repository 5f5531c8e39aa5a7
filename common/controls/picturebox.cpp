// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/picturebox.h"

#include "toolkit/units.h"

#include <QPainter>
#include <qdrawutil.h>

namespace common {

PictureBox::PictureBox(QWidget *parent)
    : ClickableWidget(QAccessible::Grouping, parent) {
    setBackground(systemWindowBackground);
}

void PictureBox::setBackground(ColourValue colour) {
    setBackgroundColour(this, colour);
    m_background = colour;
}

void PictureBox::setPicture(const Picture &picture) {
    m_picture = picture;
    update();
}

int PictureBox::borderWidth() {
    return scaledPixels(1);
}

QRect PictureBox::insideRect(const QRect &rect) const {
    return rect.translated(borderWidth(), borderWidth());
}

void PictureBox::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const int border = borderWidth();
    if (!m_picture.isEmpty())
        painter.drawPixmap(border, border, m_picture.pixmap());
    // Inside the box's own pixels, so no scale can put a side outside them.
    qDrawPlainRect(&painter, rect(), Qt::black, border);
}

} // namespace common
