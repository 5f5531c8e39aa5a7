// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "backdrop/x11backdrop.h"

#include "x11/xcbsupport.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <utility>
#include <vector>

namespace common {

namespace {

using x11::atom;
using x11::connection;
using x11::rootOf;

// Calls back the first time the window it watches is on the screen, then goes.
class FirstExpose final : public QObject {
public:
    FirstExpose(QWindow *window, std::function<void()> then)
        : QObject(window)
        , m_then(std::move(then)) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed() &&
            m_then) {
            watched->removeEventFilter(this);
            std::exchange(m_then, {})();
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_then;
};

void dropProtocol(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t protocol) {
    const xcb_atom_t protocols = atom(connection, "WM_PROTOCOLS");
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, window, protocols, XCB_ATOM_ATOM, 0, 32);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    if (!reply)
        return;
    const auto *first = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
    const int count = xcb_get_property_value_length(reply) / int(sizeof(xcb_atom_t));
    std::vector<xcb_atom_t> kept;
    std::copy_if(first, first + count, std::back_inserter(kept),
                 [protocol](xcb_atom_t a) { return a != protocol; });
    free(reply);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, protocols, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(kept.size()), kept.data());
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
    // Kept out of task bars, pagers and window switchers; Qt adds its own states to these when it
    // maps the window.
    const std::array<xcb_atom_t, 3> states{atom(x11, "_NET_WM_STATE_SKIP_TASKBAR"),
                                           atom(x11, "_NET_WM_STATE_SKIP_PAGER"),
                                           atom(x11, "_KDE_NET_WM_STATE_SKIP_SWITCHER")};
    xcb_change_property(x11, XCB_PROP_MODE_REPLACE, window, atom(x11, "_NET_WM_STATE"),
                        XCB_ATOM_ATOM, 32, static_cast<uint32_t>(states.size()), states.data());
    // Qt offers every window the take-focus protocol, and a window manager lists a window that
    // offers it among those the keyboard can go to, whatever its input hint says.
    dropProtocol(x11, window, atom(x11, "WM_TAKE_FOCUS"));
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

void X11Backdrop::showInFront(QWindow &backdrop, QWidget &window) {
    // The window maps without taking the keyboard and is activated once it is marked as the
    // group's transient (windowShown). KWin decides whether a full-screen window covers its panel
    // when a window of its group becomes active: a window activated before the mark arrives
    // leaves the panel over the backdrop.
    const bool withoutActivating = window.testAttribute(Qt::WA_ShowWithoutActivating);
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    BackdropPlatform::showInFront(backdrop, window);
    window.setAttribute(Qt::WA_ShowWithoutActivating, withoutActivating);
}

void X11Backdrop::windowShown(QWindow &backdrop, QWidget &window) {
    xcb_connection_t *x11 = connection();
    if (!x11)
        return;
    // Qt tells the window manager of a transient parent only for dialogs, which window managers
    // may keep out of task bars. The window stays a main window with its own entry, and is
    // marked here, after Qt's show, which clears the mark, as transient for its program's group
    // (the root window stands for the group), which holds the backdrop: window managers keep it
    // in front of the backdrop, and task bars, which fold a window transient for another window
    // into that one (and the backdrop has no entry), still give it an entry of its own.
    Q_UNUSED(backdrop)
    const xcb_window_t group = rootOf(x11, static_cast<xcb_window_t>(window.winId()));
    xcb_change_property(x11, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.winId()),
                        XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1, &group);
    xcb_flush(x11);
    // A window manager that guards against programs taking the focus (KWin) may leave a window
    // started without its launcher's word inactive, and the panel then shows over the backdrop:
    // once the window is on the screen, it is activated as a click on the backdrop does.
    QPointer<QWidget> front = &window;
    new FirstExpose(window.windowHandle(), [this, front] {
        if (front && !front->isActiveWindow())
            activate(*front);
    });
}

void X11Backdrop::activate(QWidget &window) {
    xcb_connection_t *x11 = connection();
    window.raise();
    if (!x11 || !window.windowHandle()) {
        window.activateWindow();
        return;
    }
    // The person clicked the program's own backdrop to get its window back, as they would click
    // its task bar entry: the request says so (source 2, a pager's), so a window manager that
    // guards against programs taking the focus (KWin) lets it through while another program's
    // window is active.
    x11::requestActivation(x11, static_cast<xcb_window_t>(window.winId()),
                           x11::RequestSource::Pager, XCB_CURRENT_TIME, XCB_WINDOW_NONE);
}

} // namespace common
