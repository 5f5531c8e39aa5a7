// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "instance/x11startup.h"

#include "x11/xcbsupport.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace common::x11startup {

namespace {

using x11::atom;
using x11::connection;
using x11::rootOf;

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
    const QWindow *focused = QGuiApplication::focusWindow();
    x11::requestActivation(
        x11, static_cast<xcb_window_t>(window.winId()), x11::RequestSource::Application, time,
        focused ? static_cast<xcb_window_t>(focused->winId()) : xcb_window_t(XCB_WINDOW_NONE));
}

} // namespace common::x11startup
