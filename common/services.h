#pragma once

#include "errorreporter.h"
#include "messagebox.h"
#include "programend.h"
#include "randomsource.h"
#include "soundplayer.h"

#include <exception>
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
template <typename Handler> void guarded(ErrorReporter &reporter, Handler &&handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception &e) {
        reporter.report(QString::fromUtf8(e.what()));
    } catch (...) {
        reporter.report(QStringLiteral("Okänt fel."));
    }
}

} // namespace common
