// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "instance/bringtofront.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace common {

namespace {

void raise(QWidget &window) {
    if (window.isMinimized())
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    // The backdrop the window stands in front of comes up with it.
    if (const QWindow *handle = window.windowHandle())
        if (QWindow *backdrop = handle->transientParent(); backdrop && backdrop->isVisible())
            backdrop->raise();
    window.raise();
}

} // namespace

void bringToFront(QWidget *window, const QByteArray &activationToken) {
    QWidget *top = window ? window->window() : nullptr;
    QWidget *box = QApplication::activeModalWidget();
    if (box == top)
        box = nullptr;
    QWidget *front = box ? box : top;
    if (!front || !front->isVisible())
        return;
    // Qt's Wayland client activates a window with the token it finds here, and takes it away.
    if (!activationToken.isEmpty() &&
        QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        qputenv("XDG_ACTIVATION_TOKEN", activationToken);
    if (top && top->isVisible())
        raise(*top);
    if (box)
        raise(*box);
    front->activateWindow();
}

} // namespace common
