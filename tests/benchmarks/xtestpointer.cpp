// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchmarks/xtestpointer.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <thread>

XTestPointer::XTestPointer()
    : m_display(XOpenDisplay(nullptr)) {}

XTestPointer::~XTestPointer() {
    if (m_display)
        XCloseDisplay(m_display);
}

void XTestPointer::moveTo(QPoint screen) {
    XTestFakeMotionEvent(m_display, -1, screen.x(), screen.y(), CurrentTime);
    XSync(m_display, False);
}

XTestPointer::Clock::time_point XTestPointer::click() {
    XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
    XSync(m_display, False);
    // A person's click holds the button for a moment too.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
    XSync(m_display, False);
    return Clock::now();
}
