// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/clickablewidget.h"
#include "toolkit/colour.h"

namespace common {

// A panel with a one-pixel raised bevel and a background colour; it groups other controls.
class Panel3D final : public ClickableWidget {
    Q_OBJECT

public:
    explicit Panel3D(QWidget *parent = nullptr);

    void setBackground(ColourValue colour);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace common
