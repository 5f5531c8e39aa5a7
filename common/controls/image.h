// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/clickablewidget.h"
#include "toolkit/picture.h"

namespace common {

// Shows a Picture: at its own size from the top left corner, or stretched to fill the control.
// It has no background of its own, so its container shows around the picture.
class Image final : public ClickableWidget {
    Q_OBJECT

public:
    explicit Image(QWidget *parent = nullptr);

    Picture picture() const { return m_picture; }
    void setPicture(const Picture &picture);
    bool stretch() const { return m_stretch; }
    void setStretch(bool stretch);
    // A bordered image with the sunken 3D edge.
    void setSunkenBorder(bool sunken);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Picture m_picture;
    bool m_stretch = false;
    bool m_sunken = false;
};

} // namespace common
