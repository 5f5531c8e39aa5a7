// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backdrop/backdropplatform.h"

namespace common {

class WaylandStage;

// The backdrop on Wayland: the backdrop window itself is made but never shown, and a
// WaylandStage shows the black screen and the window in front of it as one surface.
class WaylandBackdrop final : public BackdropPlatform {
public:
    WaylandBackdrop();
    ~WaylandBackdrop() override;

    void showBackdrop(QWindow &backdrop) override;
    void showInFront(QWindow &backdrop, QWidget &window) override;
    void backdropClosed() override;

private:
    WaylandStage *m_stage = nullptr;
};

} // namespace common
