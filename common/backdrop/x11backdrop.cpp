// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "backdrop/x11backdrop.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>

namespace common {

namespace {

xcb_connection_t *connection() {
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
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

void X11Backdrop::prepareBackdrop(QWindow &backdrop) {
    xcb_connection_t *x11 = connection();
    if (!x11)
        return;
    const auto window = static_cast<xcb_window_t>(backdrop.winId());
    // The server fills the window with black whenever it shows: no pixels of our own.
    const uint32_t black = 0;
    xcb_change_window_attributes(x11, window, XCB_CW_BACK_PIXEL, &black);
    // Kept out of task bars and pagers; Qt adds its own states to these when it maps the window.
    const std::array<xcb_atom_t, 2> states{atom(x11, "_NET_WM_STATE_SKIP_TASKBAR"),
                                           atom(x11, "_NET_WM_STATE_SKIP_PAGER")};
    xcb_change_property(x11, XCB_PROP_MODE_REPLACE, window, atom(x11, "_NET_WM_STATE"),
                        XCB_ATOM_ATOM, 32, static_cast<uint32_t>(states.size()), states.data());
    xcb_flush(x11);
}

void X11Backdrop::backdropShown(QWindow &backdrop) {
    xcb_connection_t *x11 = connection();
    if (!x11)
        return;
    // Qt gives a window without a caption the program's name.
    xcb_change_property(x11, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(backdrop.winId()),
                        atom(x11, "_NET_WM_NAME"), atom(x11, "UTF8_STRING"), 8, 0, nullptr);
    xcb_flush(x11);
}

void X11Backdrop::windowShown(QWindow &backdrop, QWidget &window) {
    xcb_connection_t *x11 = connection();
    if (!x11)
        return;
    // Qt tells the window manager of a transient parent only for dialogs, which window managers
    // may keep out of task bars. The window stays a main window with its own entry, and is
    // marked transient for the backdrop here, after Qt's show, which clears the mark.
    const auto parent = static_cast<xcb_window_t>(backdrop.winId());
    xcb_change_property(x11, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.winId()),
                        XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1, &parent);
    xcb_flush(x11);
}

} // namespace common
