// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>

#include <chrono>

struct _XDisplay;

// Moves the pointer and clicks through the X server's XTEST extension, from this process, so the
// moment of a click is known to the millisecond (xdotool sleeps 100 ms after its last event).
class XTestPointer final {
public:
    using Clock = std::chrono::steady_clock;

    // Connects to the display named by DISPLAY.
    XTestPointer();
    ~XTestPointer();
    XTestPointer(const XTestPointer &) = delete;
    XTestPointer &operator=(const XTestPointer &) = delete;

    bool isValid() const { return m_display != nullptr; }
    void moveTo(QPoint screen);
    // Presses and releases the left button; returns when the server has taken the release, which
    // is when a button acts.
    Clock::time_point click();

private:
    _XDisplay *m_display = nullptr;
};
