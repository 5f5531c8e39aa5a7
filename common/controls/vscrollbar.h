// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/int16.h"

#include <QProxyStyle>
#include <QScrollBar>
#include <QWidget>

namespace common {

// A vertical value bar with the highest value at the top: the upper arrow, a click above the
// thumb, the Up key and the wheel turned up all raise the value. valueChanged() is emitted
// whenever the value changes, by the user or from code, before setValue() returns, so a handler
// that sets the value again runs nested inside the first. A ring shows when it has the focus.
class VScrollBar final : public QWidget {
    Q_OBJECT

public:
    explicit VScrollBar(QWidget *parent = nullptr);

    Int16 value() const;
    // Throws common::Error for a value outside the range instead of clamping it.
    void setValue(Int16 value);
    Int16 minimum() const { return m_minimum; }
    Int16 maximum() const { return m_maximum; }
    void setRange(Int16 minimum, Int16 maximum);
    void setSteps(Int16 single, Int16 page);

    // The bar the user works; exposed for input that has to reach it directly.
    QScrollBar *bar() { return &m_bar; }

signals:
    void valueChanged(common::Int16 value);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Qt's vertical bar has its minimum at the top, so the bar runs on mirrored values.
    int mirrored(int value) const { return m_minimum + m_maximum - value; }

    // A bar of the design is short; the default thumb would fill almost all of its track.
    class ShortThumbStyle final : public QProxyStyle {
    public:
        int pixelMetric(PixelMetric metric, const QStyleOption *option,
                        const QWidget *widget) const override;
    };

    ShortThumbStyle m_style;
    QScrollBar m_bar{Qt::Vertical, this};
    Int16 m_minimum = 0;
    Int16 m_maximum = 99;
};

} // namespace common
