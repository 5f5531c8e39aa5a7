// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRgb>
#include <QWidget>

class QKeyEvent;

namespace common {

// A ring over the edge of a control while it has the keyboard focus. As in a web browser, the
// ring shows only once the keyboard is in use: from the first key press to the next mouse press,
// so a mouse user sees the window as designed. The ring is dark, for at least 3:1 contrast against
// the light colours of the windows, and clicks pass through it to the control.
class FocusRing final : public QWidget {
    Q_OBJECT

public:
    static constexpr int ringWidth = 2;
    static constexpr QRgb colour = 0xFF000080; // navy

    // Rings control while focusTaker has the focus: the control itself, or the child it hands the
    // focus to.
    explicit FocusRing(QWidget *control, QWidget *focusTaker = nullptr);

    // True from a key press anywhere in the program until the next mouse press.
    static bool keyboardInUse();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void follow();
    void fitControl();

    QWidget *m_focusTaker = nullptr;
};

// Return or Enter, the keypad's too, with no other modifier: the keys that press the focused
// control as Space does.
bool isPlainEnter(const QKeyEvent &event);

} // namespace common
