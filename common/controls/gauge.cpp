// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/gauge.h"

#include "base/error.h"
#include "toolkit/units.h"

#include <QAccessible>
#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>

namespace common {

Gauge::Gauge(QWidget *parent)
    : QWidget(parent) {
    setBackground(m_background);
}

void Gauge::setMaximum(Int16 maximum) {
    if (maximum < 0)
        throw Error(QStringLiteral("Mätarens största värde kan inte vara %1.").arg(maximum));
    m_maximum = maximum;
    m_value = std::min(m_value, m_maximum);
    update();
    announce();
}

void Gauge::setValue(Int16 value) {
    if (value < 0 || value > m_maximum)
        throw Error(QStringLiteral("Mätaren kan inte visa värdet %1 (0 till %2).")
                        .arg(value)
                        .arg(m_maximum));
    m_value = value;
    update();
    announce();
}

void Gauge::announce() {
    QAccessibleValueChangeEvent event(this, int(m_value));
    QAccessible::updateAccessibility(&event);
}

void Gauge::setBarColour(ColourValue colour) {
    toQColor(colour); // an unknown system colour is an error here, not while painting
    m_barColour = colour;
    update();
}

void Gauge::setBackground(ColourValue colour) {
    setBackgroundColour(this, colour);
    m_background = colour;
}

void Gauge::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const int edge = scaledPixels(1);
    const QRect inside = rect().adjusted(edge, edge, -edge, -edge);
    if (m_maximum > 0 && m_value > 0) {
        const int filled = int(qint64(inside.height()) * m_value / m_maximum);
        painter.fillRect(QRect(inside.left(), inside.bottom() + 1 - filled, inside.width(), filled),
                         toQColor(m_barColour));
    }
    qDrawShadePanel(&painter, rect(), palette(), true, edge);
}

} // namespace common
