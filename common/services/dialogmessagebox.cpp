// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/dialogmessagebox.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QScreen>
#include <QWindow>

#include <algorithm>

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
    CentredOver(QWidget &box, QWindow &window)
        : QObject(&box)
        , m_box(box) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        // The window's own geometry is up to date as it hears of the move; its widget's is not.
        if (event->type() == QEvent::Move && m_box.isWindow() && m_box.isVisible())
            centreOver(*static_cast<QWindow *>(watched));
        return QObject::eventFilter(watched, event);
    }

private:
    void centreOver(const QWindow &window) {
        // Client area over client area: the frame's size may not be known yet (Qt then gives a
        // frame geometry of 1 x 1).
        QRect placed(QPoint(0, 0), m_box.size());
        placed.moveCenter(window.geometry().center());
        if (const QScreen *screen = window.screen()) {
            const QRect free = screen->availableGeometry();
            placed.moveRight(std::min(placed.right(), free.right()));
            placed.moveBottom(std::min(placed.bottom(), free.bottom()));
            placed.moveLeft(std::max(placed.left(), free.left()));
            placed.moveTop(std::max(placed.top(), free.top()));
        }
        m_box.setGeometry(placed);
    }

    QWidget &m_box;
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
        if (QWindow *window = parent->window()->windowHandle())
            new CentredOver(box, *window);
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
