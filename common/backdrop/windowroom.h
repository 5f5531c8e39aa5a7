// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

namespace common {

// The largest client area a main window can have on the primary screen, in its logical pixels,
// once the window system has put its frame around it: on X11 the window manager is asked for the
// frame it will give a window before there is one; on Wayland the stage's caption bar is the
// frame, over the whole screen. Call once the application exists.
QSize windowRoom();

// Where a main window with this client area goes on the primary screen: centred, and moved no
// further than it takes to keep its frame, as windowRoom() found it, on the free area.
QRect centredWindowRect(QSize client);

} // namespace common
