// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backdrop/backdropplatform.h"

namespace common {

// The backdrop on X11: the server paints its black background, it has no caption and no place
// in task bars or pagers, and the window in front is marked as its transient for the window
// manager, which keeps it in front while it stays a main window with a task bar entry.
class X11Backdrop final : public BackdropPlatform {
public:
    bool backdropNeedsPainting() const override { return false; }
    void activate(QWidget &window) override;

private:
    void prepareBackdrop(QWindow &backdrop) override;
    void backdropShown(QWindow &backdrop) override;
    void windowShown(QWindow &backdrop, QWidget &window) override;
};

} // namespace common
