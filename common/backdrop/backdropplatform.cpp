// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "backdrop/backdropplatform.h"

#include "backdrop/waylandbackdrop.h"
#include "backdrop/windowroom.h"
#include "backdrop/x11backdrop.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace common {

std::unique_ptr<BackdropPlatform> BackdropPlatform::forThisPlatform() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb"))
        return std::make_unique<X11Backdrop>();
    if (platform.startsWith(QLatin1String("wayland")))
        return std::make_unique<WaylandBackdrop>();
    return std::make_unique<BackdropPlatform>();
}

void BackdropPlatform::showBackdrop(QWindow &backdrop) {
    if (QScreen *primary = QGuiApplication::primaryScreen()) {
        backdrop.setScreen(primary);
        // Where full screen isn't honoured, the window still covers the screen.
        backdrop.setGeometry(primary->geometry());
    }
    backdrop.create();
    prepareBackdrop(backdrop);
    // QWindow::showFullScreen() would also ask to activate a window that takes no focus.
    backdrop.setWindowStates(Qt::WindowFullScreen);
    backdrop.setVisible(true);
    backdropShown(backdrop);
}

void BackdropPlatform::showInFront(QWindow &backdrop, QWidget &window) {
    window.winId();
    window.windowHandle()->setTransientParent(&backdrop);
    window.setGeometry(centredWindowRect(window.size()));
    window.show();
    windowShown(backdrop, window);
    window.raise();
    window.activateWindow();
}

void BackdropPlatform::activate(QWidget &window) {
    window.raise();
    window.activateWindow();
}

} // namespace common
