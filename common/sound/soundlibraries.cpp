// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/soundlibraries.h"

#include <QLibrary>

namespace common {

namespace {

template <class Function> bool resolve(QLibrary &library, const char *name, Function &function) {
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

} // namespace

const SoundLibraries *SoundLibraries::get() {
    static SoundLibraries libraries;
    static const bool opened = libraries.open();
    return opened ? &libraries : nullptr;
}

bool SoundLibraries::open() {
    // Kept open for the rest of the program: the player's threads may still be inside them.
    static QLibrary sndfile(QStringLiteral("sndfile"), 1);
    static QLibrary simple(QStringLiteral("pulse-simple"), 0);
    return resolve(sndfile, "sf_open_fd", sfOpenFd) && resolve(sndfile, "sf_close", sfClose) &&
           resolve(sndfile, "sf_readf_short", sfReadShort) &&
           resolve(sndfile, "sf_readf_int", sfReadInt) &&
           resolve(sndfile, "sf_readf_float", sfReadFloat) &&
           resolve(simple, "pa_simple_new", simpleNew) &&
           resolve(simple, "pa_simple_write", simpleWrite) &&
           resolve(simple, "pa_simple_get_latency", simpleLatency) &&
           resolve(simple, "pa_simple_free", simpleFree);
}

} // namespace common
