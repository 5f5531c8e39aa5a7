// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <optional>

class QWindow;

namespace common::x11startup {

// The time of the user's action that a launcher's startup ID (DESKTOP_STARTUP_ID) records in its
// "_TIME" part, when it has one.
std::optional<quint32> actionTime(const QByteArray &startupId);

// Tells the launcher that the start with this ID is complete, so it stops showing it as busy:
// the one that ended at once, having handed over to the copy that runs. window is one of ours.
void completeStart(const QWindow &window, const QByteArray &startupId);

// Asks the window manager to activate window as the result of the user's action at time. The
// window manager weighs that time against the user's latest action, where it prevents programs
// from stealing the focus.
void activate(const QWindow &window, quint32 time);

} // namespace common::x11startup
