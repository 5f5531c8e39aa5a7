// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "instance/bringtofront.h"

#include "instance/x11startup.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <optional>

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

void bringToFront(QWidget *window, const QByteArray &startToken) {
    QWidget *top = window ? window->window() : nullptr;
    QWidget *box = QApplication::activeModalWidget();
    if (box == top)
        box = nullptr;
    QWidget *front = box ? box : top;
    const QString platform = QGuiApplication::platformName();
    const bool x11 = platform == QLatin1String("xcb");
    if (x11 && !startToken.isEmpty() && front && front->windowHandle())
        x11startup::completeStart(*front->windowHandle(), startToken);
    if (!front || !front->isVisible())
        return;
    // Qt's Wayland client activates a window with the token it finds here, and takes it away.
    if (!startToken.isEmpty() && platform.startsWith(QLatin1String("wayland")))
        qputenv("XDG_ACTIVATION_TOKEN", startToken);
    if (top && top->isVisible())
        raise(*top);
    if (box)
        raise(*box);
    const std::optional<quint32> time = x11 ? x11startup::actionTime(startToken) : std::nullopt;
    if (time && front->windowHandle())
        x11startup::activate(*front->windowHandle(), *time);
    else
        front->activateWindow();
}

} // namespace common
