// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

class QWidget;

namespace common {

// Brings the program's window to the front and asks for it to be active, for a later start
// that handed over to this copy: the box that waits for an answer when there is one, else
// window (or the full-screen surface that holds it), restored when minimised, in front of its
// backdrop. A null or hidden window is left where it is.
//
// How far this goes is the window system's. A window manager or compositor that prevents
// focus stealing lets a window come forward for a user's action only: startToken, the token
// the launcher gave the later start, stands for that action. On Wayland it is an activation
// token (xdg-activation); without one the compositor decides, and most only mark the window as
// wanting attention. On X11 it is a startup ID, whose time of the action goes with the request
// to activate the window, and the launcher is told that the start is complete.
void bringToFront(QWidget *window, const QByteArray &startToken);

} // namespace common
