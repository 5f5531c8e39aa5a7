// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "instance/x11startup.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace common::x11startup {

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

xcb_window_t rootOf(xcb_connection_t *connection, xcb_window_t window) {
    xcb_get_geometry_reply_t *reply =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    const xcb_window_t root = reply ? reply->root : xcb_window_t(XCB_WINDOW_NONE);
    free(reply);
    return root;
}

// A startup notification value: quoted, with its quotes and backslashes escaped.
QByteArray quoted(const QByteArray &value) {
    QByteArray result = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\')
            result += '\\';
        result += c;
    }
    return result + '"';
}

} // namespace

std::optional<quint32> actionTime(const QByteArray &startupId) {
    static const QRegularExpression time(QStringLiteral("_TIME(\\d+)$"));
    const QRegularExpressionMatch match = time.match(QString::fromLatin1(startupId));
    bool read = false;
    const quint32 value = match.hasMatch() ? match.captured(1).toUInt(&read) : 0;
    return read ? std::optional<quint32>(value) : std::nullopt;
}

void completeStart(const QWindow &window, const QByteArray &startupId) {
    xcb_connection_t *x11 = connection();
    if (!x11 || startupId.isEmpty())
        return;
    const auto sender = static_cast<xcb_window_t>(window.winId());
    const xcb_window_t root = rootOf(x11, sender);
    const xcb_atom_t begin = atom(x11, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(x11, "_NET_STARTUP_INFO");
    // The message and its closing zero byte, 20 bytes to an X client message.
    const QByteArray message = "remove: ID=" + quoted(startupId) + '\0';
    for (qsizetype from = 0; from < message.size(); from += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = sender;
        event.type = from == 0 ? begin : more;
        const qsizetype length = std::min<qsizetype>(20, message.size() - from);
        std::memcpy(event.data.data8, message.constData() + from, std::size_t(length));
        xcb_send_event(x11, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char *>(&event));
    }
    xcb_flush(x11);
}

void activate(const QWindow &window, quint32 time) {
    xcb_connection_t *x11 = connection();
    if (!x11)
        return;
    const auto target = static_cast<xcb_window_t>(window.winId());
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = target;
    event.type = atom(x11, "_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 1; // from an application
    event.data.data32[1] = time;
    const QWindow *focused = QGuiApplication::focusWindow();
    event.data.data32[2] =
        focused ? static_cast<uint32_t>(focused->winId()) : uint32_t(XCB_WINDOW_NONE);
    xcb_send_event(x11, 0, rootOf(x11, target),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(x11);
}

} // namespace common::x11startup
