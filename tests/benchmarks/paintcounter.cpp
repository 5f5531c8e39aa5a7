// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchmarks/paintcounter.h"

#include <QEvent>

PaintCounter::PaintCounter(QObject *watched)
    : QObject(watched) {
    watched->installEventFilter(this);
}

bool PaintCounter::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Paint)
        ++m_count;
    return QObject::eventFilter(watched, event);
}
