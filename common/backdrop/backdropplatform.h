// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

class QWidget;
class QWindow;

namespace common {

// How the backdrop and the window in front of it are shown on one kind of window system. The
// steps here are the plain way, for a window system that honours full screen and transients (and
// the offscreen one the tests use); X11 adds to them, Wayland replaces them.
class BackdropPlatform {
public:
    // The way for the window system the program runs on, chosen once.
    static std::unique_ptr<BackdropPlatform> forThisPlatform();

    BackdropPlatform() = default;
    virtual ~BackdropPlatform() = default;
    BackdropPlatform(const BackdropPlatform &) = delete;
    BackdropPlatform &operator=(const BackdropPlatform &) = delete;

    // Shows the backdrop over the whole primary screen at once.
    virtual void showBackdrop(QWindow &backdrop);
    // Shows window centred on the backdrop's screen, in front of the backdrop, and active.
    virtual void showInFront(QWindow &backdrop, QWidget &window);
    // The backdrop has been closed.
    virtual void backdropClosed() {}
    // A click on the backdrop: makes window, in front of it, the active window.
    virtual void activate(QWidget &window);
    // False where the window system fills the backdrop with black without the program's pixels.
    virtual bool backdropNeedsPainting() const { return true; }

protected:
    // The backdrop's native window exists but is not shown yet.
    virtual void prepareBackdrop(QWindow &) {}
    // The backdrop has just been shown.
    virtual void backdropShown(QWindow &) {}
    // The window has just been shown, before it is raised and activated.
    virtual void windowShown(QWindow &, QWidget &) {}
};

} // namespace common
