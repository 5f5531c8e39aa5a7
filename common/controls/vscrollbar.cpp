// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/vscrollbar.h"

#include "controls/focusring.h"
#include "base/error.h"
#include "toolkit/units.h"

#include <QStyleFactory>

#include <algorithm>

namespace common {

VScrollBar::VScrollBar(QWidget *parent)
    : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(&m_bar);
    // On the look the rest of the program has, not the desktop's default.
    m_style.setBaseStyle(QStyleFactory::create(style()->name()));
    m_bar.setStyle(&m_style);
    m_bar.setFocusPolicy(Qt::StrongFocus);
    // The style draws no focus on a scroll bar.
    new FocusRing(this, &m_bar);
    m_bar.setRange(m_minimum, m_maximum);
    m_bar.setValue(mirrored(m_minimum));
    connect(&m_bar, &QScrollBar::valueChanged, this,
            [this](int barValue) { emit valueChanged(Int16(mirrored(barValue))); });
}

Int16 VScrollBar::value() const {
    return Int16(mirrored(m_bar.value()));
}

void VScrollBar::setValue(Int16 value) {
    if (value < m_minimum || value > m_maximum)
        throw Error(QStringLiteral("Värdet %1 passar inte i rullningslisten, som tar %2 till %3.")
                        .arg(value)
                        .arg(m_minimum)
                        .arg(m_maximum));
    m_bar.setValue(mirrored(value));
}

void VScrollBar::setRange(Int16 minimum, Int16 maximum) {
    const Int16 kept = std::clamp(value(), minimum, maximum);
    m_minimum = minimum;
    m_maximum = maximum;
    const QSignalBlocker quiet(&m_bar);
    m_bar.setRange(minimum, maximum);
    m_bar.setValue(mirrored(kept));
}

void VScrollBar::setSteps(Int16 single, Int16 page) {
    m_bar.setSingleStep(single);
    m_bar.setPageStep(page);
}

int VScrollBar::ShortThumbStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                                             const QWidget *widget) const {
    if (metric == PM_ScrollBarSliderMin)
        return scaledPixels(8);
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void VScrollBar::resizeEvent(QResizeEvent *) {
    m_bar.setGeometry(rect());
}

} // namespace common
