// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "backdrop/waylandbackdrop.h"

#include "backdrop/waylandstage.h"

#include <QWindow>

namespace common {

WaylandBackdrop::WaylandBackdrop()
    : m_stage(new WaylandStage) {}

WaylandBackdrop::~WaylandBackdrop() {
    // A window still held is a child of the stage, and its owner is destroying it: the stage
    // must not delete it a second time.
    if (m_stage->front())
        m_stage->deleteLater();
    else
        delete m_stage;
}

void WaylandBackdrop::showBackdrop(QWindow &backdrop) {
    // Made, not shown: closing it closes the stage.
    backdrop.create();
    m_stage->showFullScreen();
}

void WaylandBackdrop::showInFront(QWindow &, QWidget &window) {
    m_stage->hold(window);
}

void WaylandBackdrop::backdropClosed() {
    m_stage->hide();
    m_stage->release();
}

} // namespace common
