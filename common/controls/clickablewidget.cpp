// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/clickablewidget.h"

#include <QMouseEvent>

namespace common {

ClickableWidget::ClickableWidget(QWidget *parent)
    : QWidget(parent) {}

void ClickableWidget::mousePressEvent(QMouseEvent *event) {
    event->accept();
    m_pressed = event->button() == Qt::LeftButton;
}

void ClickableWidget::mouseReleaseEvent(QMouseEvent *event) {
    event->accept();
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit clicked();
}

} // namespace common
