// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWindow>

#include <memory>

class QBackingStore;
class QWidget;

namespace common {

class BackdropPlatform;

// The black backdrop that covers the whole screen, panels included, behind a program's window.
// It has no caption, no icon and no task bar entry, and takes no focus. It keeps no picture of
// the screen's size: on X11 the server paints the window's black background itself, elsewhere
// it shows a single black pixel that the compositor stretches over the screen. A click on it
// brings the window in front again, out of the task bar too. How it is shown is the window
// system's (BackdropPlatform); on Wayland a stage shows backdrop and window as one surface.
class Form2 final : public QWindow {
    Q_OBJECT

public:
    Form2();
    ~Form2() override;

    // Shows the backdrop full screen at once, without waiting.
    void showBackdrop();
    // Shows window centred on the backdrop's screen, in front of the backdrop, and active. The
    // window manager keeps it there: it is transient for the program's group, which holds the
    // backdrop, and still a main window.
    void showInFront(QWidget &window);

protected:
    void closeEvent(QCloseEvent *event) override;
    void exposeEvent(QExposeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void touchEvent(QTouchEvent *event) override;

private:
    void bringFrontBack();

    std::unique_ptr<BackdropPlatform> m_platform;
    QPointer<QWidget> m_front;
    std::unique_ptr<QBackingStore> m_pixel;
};

} // namespace common
