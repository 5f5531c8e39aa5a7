// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QWidget>

namespace common {

// A control that reports clicks: a left press and a release over the same control. The mouse
// events are accepted, so a click lands on the topmost control under the pointer and never on the
// container behind it. A control given a focus policy clicks on Space, Return and Enter as well,
// and a screen reader's press action clicks it too: every way in runs the same clicked().
class ClickableWidget : public QWidget {
    Q_OBJECT

public:
    explicit ClickableWidget(QWidget *parent = nullptr);

    // What a screen reader calls the control; by default the kind of the control.
    QAccessible::Role accessibleRole() const { return m_role; }
    void setAccessibleRole(QAccessible::Role role) { m_role = role; }
    // A control that can be chosen (a radio button or a check box) says whether it is.
    bool isChecked() const { return m_checked; }
    void setChecked(bool checked);

    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    ClickableWidget(QAccessible::Role role, QWidget *parent);

    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_pressed = false;
    bool m_checked = false;
    QAccessible::Role m_role = QAccessible::Client;
};

} // namespace common
