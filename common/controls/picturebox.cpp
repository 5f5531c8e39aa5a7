// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/picturebox.h"

#include <QPainter>

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

void PictureBox::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    if (!m_picture.isEmpty())
        painter.drawPixmap(borderWidth, borderWidth, m_picture.pixmap());
    painter.setPen(QPen(Qt::black, borderWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -borderWidth, -borderWidth));
}

} // namespace common
