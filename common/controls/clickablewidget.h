// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace common {

// A control that reports clicks: a left press and a release over the same control. The mouse
// events are accepted, so a click lands on the topmost control under the pointer and never on the
// container behind it.
class ClickableWidget : public QWidget {
    Q_OBJECT

public:
    explicit ClickableWidget(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

} // namespace common
