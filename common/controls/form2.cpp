// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/form2.h"

#include "controls/stage.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>

namespace common {

namespace {

bool onX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

bool onWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(qstrlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
}

} // namespace

Form2::Form2() {
    setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setTitle(QString());
}

Form2::~Form2() {
    // A window still held is a child of the stage, and its owner is destroying it: the stage
    // must not delete it a second time.
    if (m_stage && m_stage->front())
        m_stage.release()->deleteLater();
}

void Form2::prepareNativeWindow() {
    create();
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!onX11() || !x11)
        return;
    xcb_connection_t *connection = x11->connection();
    const auto window = static_cast<xcb_window_t>(winId());
    // The server fills the window with black whenever it shows: no pixels of our own.
    const uint32_t black = 0;
    xcb_change_window_attributes(connection, window, XCB_CW_BACK_PIXEL, &black);
    // Kept out of task bars and pagers; Qt adds its own states to these when it maps the window.
    const std::array<xcb_atom_t, 2> states{atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                           atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window,
                        atom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(states.size()), states.data());
    xcb_flush(connection);
}

void Form2::showBackdrop() {
    if (onWayland()) {
        // Made, not shown: closing it closes the stage.
        create();
        if (!m_stage)
            m_stage = std::make_unique<Stage>();
        m_stage->showFullScreen();
        return;
    }
    if (QScreen *primary = QGuiApplication::primaryScreen()) {
        setScreen(primary);
        // Where full screen isn't honoured, the window still covers the screen.
        setGeometry(primary->geometry());
    }
    prepareNativeWindow();
    // QWindow::showFullScreen() would also ask to activate a window that takes no focus.
    setWindowStates(Qt::WindowFullScreen);
    setVisible(true);
    clearCaption();
}

void Form2::clearCaption() {
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!onX11() || !x11)
        return;
    // Qt gives a window without a caption the program's name.
    xcb_connection_t *connection = x11->connection();
    const auto window = static_cast<xcb_window_t>(winId());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom(connection, "_NET_WM_NAME"),
                        atom(connection, "UTF8_STRING"), 8, 0, nullptr);
    xcb_flush(connection);
}

void Form2::showInFront(QWidget &window) {
    m_front = &window;
    if (m_stage) {
        m_stage->hold(window);
        return;
    }
    window.winId();
    window.windowHandle()->setTransientParent(this);
    const QScreen *target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (target)
        window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                               target->geometry()));
    window.show();
    keepInFrontForWindowManager(window);
    window.raise();
    window.activateWindow();
}

void Form2::keepInFrontForWindowManager(QWidget &window) {
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!onX11() || !x11)
        return;
    // Qt tells the window manager of a transient parent only for dialogs, which window managers
    // may keep out of task bars. The window stays a main window with its own entry, and is
    // marked transient for the backdrop here, after Qt's show, which clears the mark.
    const auto backdrop = static_cast<xcb_window_t>(winId());
    xcb_change_property(x11->connection(), XCB_PROP_MODE_REPLACE,
                        static_cast<xcb_window_t>(window.winId()), XCB_ATOM_WM_TRANSIENT_FOR,
                        XCB_ATOM_WINDOW, 32, 1, &backdrop);
    xcb_flush(x11->connection());
}

void Form2::closeEvent(QCloseEvent *event) {
    if (m_stage) {
        m_stage->hide();
        m_stage->release();
    }
    QWindow::closeEvent(event);
}

void Form2::exposeEvent(QExposeEvent *) {
    if (!isExposed())
        return;
    if (onX11())
        return;
    // One black pixel; a compositor fills the rest of a full-screen window with black.
    if (!m_pixel)
        m_pixel = std::make_unique<QBackingStore>(this);
    const QRect pixel(0, 0, 1, 1);
    m_pixel->resize(pixel.size());
    m_pixel->beginPaint(pixel);
    QPainter(m_pixel->paintDevice()).fillRect(pixel, Qt::black);
    m_pixel->endPaint();
    m_pixel->flush(pixel);
}

void Form2::mousePressEvent(QMouseEvent *event) {
    event->accept();
    bringFrontBack();
}

void Form2::touchEvent(QTouchEvent *event) {
    event->accept();
    bringFrontBack();
}

void Form2::bringFrontBack() {
    if (!m_front || !m_front->isVisible())
        return;
    if (m_front->isMinimized())
        m_front->setWindowState(m_front->windowState() & ~Qt::WindowMinimized);
    m_front->raise();
    m_front->activateWindow();
}

} // namespace common
