// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/dialogmessagebox.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QScreen>
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

// Keeps an open box centred over its window whenever the window moves. Qt centres the box where
// it believes the window is as the box opens, and a window manager may tell where a window just
// shown sits only afterwards: KWin through XWayland first reports it at the screen's corner.
class CentredOver final : public QObject {
public:
    CentredOver(QWidget &box, QWidget &window)
        : QObject(&box)
        , m_box(box)
        , m_window(window) {
        if (QWindow *handle = window.windowHandle())
            handle->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Move && m_box.isWindow() && m_box.isVisible())
            centre();
        return QObject::eventFilter(watched, event);
    }

private:
    void centre() {
        QRect frame = m_box.frameGeometry();
        frame.moveCenter(m_window.geometry().center());
        if (const QScreen *screen = m_window.screen()) {
            const QRect free = screen->availableGeometry();
            frame.moveRight(std::min(frame.right(), free.right()));
            frame.moveBottom(std::min(frame.bottom(), free.bottom()));
            frame.moveLeft(std::max(frame.left(), free.left()));
            frame.moveTop(std::max(frame.top(), free.top()));
        }
        m_box.move(frame.topLeft());
    }

    QWidget &m_box;
    QWidget &m_window;
};

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
        new CentredOver(box, *parent->window());
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
