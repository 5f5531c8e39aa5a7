// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QPointer>
#include <QSocketNotifier>

#include <functional>
#include <optional>

namespace common {

// One copy of a program per folder. The first start in a folder claims it under a name that the
// kernel holds for the process and frees when it ends, however it ends: an abstract Unix socket
// named after the user, the program and the folder's device and inode. Nothing is written, in the
// folder or anywhere else, so a read-only folder works and a crash leaves nothing behind. A later
// start of the same program in the same folder, by the same user, asks the running copy to come
// to the front, handing it the token its launcher gave it, and ends.
class SingleInstance final {
public:
    // Claims the current folder for program. Call it before the application is made, so that a
    // start that hands over opens no window and touches no window system.
    explicit SingleInstance(const QByteArray &program);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // The exit status when this start is to end because a copy already runs in the folder: 0 when
    // that copy took the request, 1 when it didn't answer (it is told on standard error). A
    // folder that can't be claimed (say, its name is held by another user's process) leaves the
    // program running on its own.
    std::optional<int> endStatus() const { return m_endStatus; }

    // Calls startedAgain from the application's event loop each time the program is started
    // again in this folder, with the token its launcher gave that start: its Wayland activation
    // token (XDG_ACTIVATION_TOKEN), else its X11 startup ID (DESKTOP_STARTUP_ID), empty when it
    // had neither. The start ends once startedAgain returns. Needs the application, and stops
    // with it; until then the requests wait in the socket's queue.
    void listen(std::function<void(const QByteArray &startToken)> startedAgain);

private:
    void acceptStarts();
    void answer(QSocketNotifier *connection);

    int m_listener = -1;
    QPointer<QSocketNotifier> m_listening;
    std::function<void(const QByteArray &)> m_startedAgain;
    std::optional<int> m_endStatus;
};

} // namespace common
