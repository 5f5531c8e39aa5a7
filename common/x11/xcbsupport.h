// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <xcb/xcb.h>

namespace common::x11 {

// The program's connection to the X server, or null when it doesn't run on X11.
xcb_connection_t *connection();
// The atom of name, or none when the server doesn't answer.
xcb_atom_t atom(xcb_connection_t *connection, const char *name);
// The root window of window's screen, or none.
xcb_window_t rootOf(xcb_connection_t *connection, xcb_window_t window);

// Who asks for a window to be made active: window managers that guard against programs taking
// the focus let a pager's request through (the person's own action), and weigh a program's by
// its time.
enum class RequestSource : quint32 { Application = 1, Pager = 2 };
// Asks the window manager to make target the active window, on behalf of source, for the user's
// action at time (XCB_CURRENT_TIME when unknown), while current is the program's active window.
void requestActivation(xcb_connection_t *connection, xcb_window_t target, RequestSource source,
                       quint32 time, xcb_window_t current);

} // namespace common::x11
