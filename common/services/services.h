// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/errorreporter.h"
#include "services/messagebox.h"
#include "services/programend.h"
#include "services/randomsource.h"
#include "services/soundplayer.h"
#include "base/error.h"

#include <exception>
#include <new>
#include <utility>

namespace common {

// The platform services a window uses; tests hand in recording ones.
struct Services {
    SoundPlayer &sound;
    RandomSource &random;
    MessageBox &messages;
    ProgramEnd &end;
    ErrorReporter &errors;
};

// Runs an event handler; an error escaping it goes to the error report instead of to Qt.
// True when the handler ran to its end. Only the program's own errors carry a text meant for
// the user; the standard library's are English and technical.
template <typename Handler> bool guarded(ErrorReporter &reporter, Handler &&handler) noexcept {
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const Error &e) {
        reporter.report(e.message());
    } catch (const std::bad_alloc &) {
        reporter.report(QStringLiteral("Minnet räcker inte till."));
    } catch (...) {
        reporter.report(QStringLiteral("Ett oväntat fel inträffade i programmet."));
    }
    return false;
}

// A slot for connect() that runs a window procedure through the error report, with the
// arguments bound here: connect(button, &Command3D::clicked, this, guardedSlot(errors, this,
// &Form1::save)). Signal arguments are dropped; a window reads its controls itself.
template <typename Window, typename... Parameters, typename... Arguments>
auto guardedSlot(ErrorReporter &reporter, Window *window, void (Window::*procedure)(Parameters...),
                 Arguments... arguments) {
    return [&reporter, window, procedure, arguments...] {
        guarded(reporter, [&] { (window->*procedure)(arguments...); });
    };
}

} // namespace common
