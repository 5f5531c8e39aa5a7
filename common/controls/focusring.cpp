// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/focusring.h"

#include <QEvent>
#include <QPainter>

namespace common {

namespace {
constexpr int ringWidth = 2;
}

FocusRing::FocusRing(QWidget *control, QWidget *focusTaker)
    : QWidget(control)
    , m_focusTaker(focusTaker ? focusTaker : control) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    control->installEventFilter(this);
    if (m_focusTaker != control)
        m_focusTaker->installEventFilter(this);
}

bool FocusRing::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_focusTaker && event->type() == QEvent::FocusIn) {
        fitControl();
        // Above the scroll bars and viewports the control has made since.
        raise();
        show();
    } else if (watched == m_focusTaker && event->type() == QEvent::FocusOut) {
        hide();
    } else if (watched == parentWidget() && event->type() == QEvent::Resize) {
        fitControl();
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::fitControl() {
    const QRect all = parentWidget()->rect();
    setGeometry(all);
    // Only the ring itself covers the control.
    setMask(QRegion(all).subtracted(
        QRegion(all.adjusted(ringWidth, ringWidth, -ringWidth, -ringWidth))));
}

void FocusRing::paintEvent(QPaintEvent *) {
    QPainter(this).fillRect(rect(), palette().color(QPalette::Highlight));
}

} // namespace common
