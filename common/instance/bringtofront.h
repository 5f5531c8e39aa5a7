// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

class QWidget;

namespace common {

// Brings the program's window to the front and asks for it to be active: the box that waits for
// an answer when there is one, else window (or the full-screen surface that holds it), restored
// when minimised, in front of its backdrop. Null or hidden, window is left alone.
//
// How far this goes is the window system's: on X11 the window manager is asked to raise and
// activate it. A Wayland compositor activates a window only with an activation token from a
// user's action; activationToken, the one the later start was given by its launcher, is used
// for that when it has one. Without a token the compositor decides (most mark the window as
// wanting attention instead).
void bringToFront(QWidget *window, const QByteArray &activationToken);

} // namespace common
