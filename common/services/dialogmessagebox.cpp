// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/dialogmessagebox.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QWindow>

namespace common {

namespace {

// What the program shows now that the box belongs to: its active window, else its first shown
// window (on Wayland the stage), else none (the backdrop alone is a bare native window).
QWidget *owner() {
    if (QWidget *active = QApplication::activeWindow())
        return active;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && !widget->isMinimized())
            return widget;
    }
    return nullptr;
}

void show(QMessageBox::Icon icon, const QString &text) {
    QMessageBox box(icon, QString(), text, QMessageBox::Ok);
    execInFront(box);
}

} // namespace

void execInFront(QMessageBox &box) {
    // A box without a title of its own carries the program's name, as the desktop's own
    // dialogs do.
    if (box.windowTitle().isEmpty())
        box.setWindowTitle(QApplication::applicationName());
    // The window manager keeps a box in front of what it belongs to and centres it there; one
    // that belongs to nothing may open anywhere, even behind the full-screen backdrop.
    if (QWidget *parent = owner()) {
        // A window just shown may not have the keyboard yet, and a box opened before it gets it
        // may lose it to it (GNOME on Wayland). The wait is bounded for a compositor that never
        // gives it the keyboard (one without a seat).
        const QDeadlineTimer deadline(2000);
        while (!parent->isActiveWindow() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        box.setParent(parent, box.windowFlags());
    } else {
        for (QWindow *window : QGuiApplication::topLevelWindows()) {
            if (window->isVisible()) {
                box.winId();
                box.windowHandle()->setTransientParent(window);
                break;
            }
        }
    }
    box.exec();
}

void DialogMessageBox::warning(const QString &text) {
    show(QMessageBox::Warning, text);
}

void DialogMessageBox::information(const QString &text) {
    show(QMessageBox::Information, text);
}

} // namespace common
