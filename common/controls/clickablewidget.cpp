// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/clickablewidget.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace common {

ClickableWidget::ClickableWidget(QWidget *parent)
    : QWidget(parent) {}

ClickableWidget::ClickableWidget(QAccessible::Role role, QWidget *parent)
    : QWidget(parent)
    , m_role(role) {}

void ClickableWidget::setChecked(bool checked) {
    if (checked == m_checked)
        return;
    m_checked = checked;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

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

void ClickableWidget::keyPressEvent(QKeyEvent *event) {
    const bool pressKey = event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
                          event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    // A key the focused control left unhandled comes on to its container: no click of that.
    if (!pressKey || modifiers != Qt::NoModifier || !hasFocus()) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    // A key held down clicks once, as a held mouse button does.
    if (!event->isAutoRepeat())
        emit clicked();
}

} // namespace common
