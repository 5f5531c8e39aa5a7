// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backdrop/backdropplatform.h"

namespace common {

// The backdrop on X11: the server paints its black background, it has no caption, no place in
// task bars, pagers or window switchers, and takes no focus; the window in front is marked as
// transient for the program's group, which holds the backdrop, and the window manager keeps it
// in front while it stays a main window with a task bar entry. A click on the backdrop asks for
// the window's activation as the person's own request.
class X11Backdrop final : public BackdropPlatform {
public:
    bool backdropNeedsPainting() const override { return false; }
    void showInFront(QWindow &backdrop, QWidget &window) override;
    void activate(QWidget &window) override;

private:
    void prepareBackdrop(QWindow &backdrop) override;
    void backdropShown(QWindow &backdrop) override;
    void windowShown(QWindow &backdrop, QWidget &window) override;
};

} // namespace common
