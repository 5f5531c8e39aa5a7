// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/clickablewidget.h"
#include "toolkit/colour.h"
#include "toolkit/picture.h"

namespace common {

// A box with a single-line border and a background colour that can hold a picture of its own
// and other controls. Controls inside it are placed from the inner edge of its border.
class PictureBox final : public ClickableWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    ColourValue background() const { return m_background; }
    void setBackground(ColourValue colour);
    Picture picture() const { return m_picture; }
    void setPicture(const Picture &picture);
    // Where a control at (x, y) of the box's inside goes in widget coordinates.
    QRect insideRect(const QRect &rect) const;
    // The border's width: one pixel of the design, at the layout scale.
    static int borderWidth();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ColourValue m_background = systemWindowBackground;
    Picture m_picture;
};

} // namespace common
