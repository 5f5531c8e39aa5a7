// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toolkit/picture.h"

#include <QAbstractButton>

namespace common {

// A push button with a raised bevel that shows its picture, when it has one, above the caption.
// Space, Return and Enter press it; a focus ring shows the focus once the keyboard is in use.
class Command3D final : public QAbstractButton {
    Q_OBJECT

public:
    explicit Command3D(const QString &caption, QWidget *parent = nullptr);

    Picture picture() const { return m_picture; }
    void setPicture(const Picture &picture);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Picture m_picture;
};

} // namespace common
