// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/command3d.h"

#include "controls/focusring.h"
#include "toolkit/colour.h"
#include "toolkit/units.h"

#include <QKeyEvent>

#include <QPainter>
#include <qdrawutil.h>

namespace common {

namespace {
// In pixels of the design.
constexpr int bevelWidth = 2;
constexpr int gapWidth = 2; // between the picture and the caption
} // namespace

Command3D::Command3D(const QString &caption, QWidget *parent)
    : QAbstractButton(parent) {
    setText(caption);
    setFocusPolicy(Qt::StrongFocus);
    setBackgroundColour(this, systemButtonFace);
    new FocusRing(this);
}

void Command3D::keyPressEvent(QKeyEvent *event) {
    // Return and Enter press the button at once, as Space does when it is let go.
    if (isPlainEnter(*event)) {
        event->accept();
        if (!event->isAutoRepeat())
            click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void Command3D::setPicture(const Picture &picture) {
    m_picture = picture;
    update();
}

void Command3D::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const bool down = isDown();
    const int bevel = scaledPixels(bevelWidth);
    const int gap = scaledPixels(gapWidth);
    qDrawShadePanel(&painter, rect(), palette(), down, bevel, &palette().brush(QPalette::Button));

    QRect inside = rect().adjusted(bevel, bevel, -bevel, -bevel);
    if (down)
        inside.translate(scaledPixels(1), scaledPixels(1));

    const QFontMetrics metrics(font());
    const int textHeight = text().isEmpty() ? 0 : metrics.height();
    const QSize pictureSize = m_picture.size();
    const int contentHeight =
        pictureSize.height() + (pictureSize.isEmpty() || textHeight == 0 ? 0 : gap) + textHeight;
    int y = inside.top() + (inside.height() - contentHeight) / 2;
    if (!m_picture.isEmpty()) {
        painter.drawPixmap(inside.left() + (inside.width() - pictureSize.width()) / 2, y,
                           m_picture.pixmap());
        y += pictureSize.height() + gap;
    }
    const QRect textRect(inside.left(), y, inside.width(), textHeight);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(textRect, Qt::AlignCenter, text());
}

} // namespace common
