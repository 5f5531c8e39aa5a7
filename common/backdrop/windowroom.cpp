// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "backdrop/windowroom.h"

#include "backdrop/waylandstage.h"
#include "x11/xcbsupport.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace common {

namespace {

struct FreeReply {
    void operator()(void *reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPointer = std::unique_ptr<Reply, FreeReply>;

using x11::atom;

bool supportedByWindowManager(xcb_connection_t *connection, xcb_window_t root, xcb_atom_t wanted) {
    const ReplyPointer<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, root, atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0,
                         4096),
        nullptr));
    if (!reply || reply->type != XCB_ATOM_ATOM || reply->format != 32)
        return false;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
    return std::find(atoms, atoms + count, wanted) != atoms + count;
}

// The frame the window manager will put around a main window, in device pixels (EWMH
// _NET_REQUEST_FRAME_EXTENTS); none where there is no window manager that tells.
QMargins x11Frame() {
    xcb_connection_t *connection = x11::connection();
    if (!connection)
        return {};
    // A window like the program's own, made but never shown.
    QWindow probe;
    probe.setFlags(Qt::Window);
    probe.create();
    const auto window = static_cast<xcb_window_t>(probe.winId());
    const ReplyPointer<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
    const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    if (!tree || !supportedByWindowManager(connection, tree->root, request))
        return {};

    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = request;
    xcb_send_event(connection, 0, tree->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);

    // The window manager answers by setting the window's _NET_FRAME_EXTENTS: left, right, top,
    // bottom, at once unless the machine is very busy. One that says it answers and hasn't in
    // five seconds is taken to put no frame.
    const xcb_atom_t extents = atom(connection, "_NET_FRAME_EXTENTS");
    const QDeadlineTimer deadline(5000);
    do {
        const ReplyPointer<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, extents, XCB_ATOM_CARDINAL, 0, 4),
            nullptr));
        if (reply && reply->type == XCB_ATOM_CARDINAL && reply->format == 32 &&
            xcb_get_property_value_length(reply.get()) == 4 * int(sizeof(uint32_t))) {
            const auto *sides = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
            return QMargins(int(sides[0]), int(sides[2]), int(sides[1]), int(sides[3]));
        }
        QThread::msleep(5);
    } while (!deadline.hasExpired());
    return {};
}

// The frame windowRoom() found, in logical pixels.
QMargins expectedFrame;

} // namespace

QSize windowRoom() {
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland"))) {
        // The stage covers the whole screen, panel and all.
        const WaylandStage stage;
        expectedFrame = QMargins(0, stage.captionHeight(), 0, 0);
        return screen->geometry().size().shrunkBy(expectedFrame);
    }
    if (platform == QLatin1String("xcb")) {
        const QMargins frame = x11Frame();
        // The frame is in device pixels; the room in logical ones.
        const qreal ratio = screen->devicePixelRatio();
        const auto logical = [ratio](int side) { return int(std::ceil(side / ratio)); };
        expectedFrame = QMargins(logical(frame.left()), logical(frame.top()),
                                 logical(frame.right()), logical(frame.bottom()));
    }
    return screen->availableGeometry().size().shrunkBy(expectedFrame);
}

QRect centredWindowRect(QSize client) {
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QRect(QPoint(0, 0), client);
    const QRect free = screen->availableGeometry();
    QRect placed(QPoint(0, 0), client);
    placed.moveCenter(screen->geometry().center());
    // The frame's far side first, so that where it can't all show, the caption does.
    const QRect inside = free.marginsRemoved(expectedFrame);
    placed.moveRight(std::min(placed.right(), inside.right()));
    placed.moveBottom(std::min(placed.bottom(), inside.bottom()));
    placed.moveLeft(std::max(placed.left(), inside.left()));
    placed.moveTop(std::max(placed.top(), inside.top()));
    return placed;
}

} // namespace common
