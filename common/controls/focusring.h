// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace common {

// A ring in the highlight colour over the edge of a control while it has the keyboard focus, for
// controls whose own look shows none (a list whose current row is always selected, a scroll bar).
// Clicks pass through it to the control.
class FocusRing final : public QWidget {
    Q_OBJECT

public:
    // Rings control while focusTaker has the focus: the control itself, or the child it hands the
    // focus to.
    explicit FocusRing(QWidget *control, QWidget *focusTaker = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void fitControl();

    QWidget *m_focusTaker = nullptr;
};

} // namespace common
