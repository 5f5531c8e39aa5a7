// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/int16.h"
#include "toolkit/colour.h"

#include <QWidget>

namespace common {

// A vertical bar that fills from the bottom in proportion to value / maximum, with a scale
// from 0. A maximum below 0, or a value below 0 or above the maximum, is an error.
class Gauge final : public QWidget {
    Q_OBJECT

public:
    explicit Gauge(QWidget *parent = nullptr);

    Int16 maximum() const { return m_maximum; }
    // A value above the new maximum comes down to it.
    void setMaximum(Int16 maximum);
    Int16 value() const { return m_value; }
    void setValue(Int16 value);

    ColourValue barColour() const { return m_barColour; }
    void setBarColour(ColourValue colour);
    ColourValue background() const { return m_background; }
    void setBackground(ColourValue colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Tells a screen reader the count that is shown now.
    void announce();

    Int16 m_maximum = 100;
    Int16 m_value = 0;
    ColourValue m_barColour = red;
    ColourValue m_background = lightGrey;
};

} // namespace common
