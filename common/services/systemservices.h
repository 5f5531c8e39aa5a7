// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/clockrandom.h"
#include "services/dialogerrorreporter.h"
#include "services/dialogmessagebox.h"
#include "services/processend.h"
#include "services/services.h"
#include "services/soundplayer.h"

namespace common {

// The real services of a running program; the program brings its own sound output.
class SystemServices final {
public:
    SystemServices(const QString &programName, SoundPlayer &sound);

    Services services();

private:
    SoundPlayer &m_sound;
    ClockRandom m_random;
    DialogMessageBox m_messages;
    ProcessEnd m_end;
    DialogErrorReporter m_errors;
};

} // namespace common
