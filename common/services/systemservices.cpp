// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/systemservices.h"

namespace common {

SystemServices::SystemServices(const QString &programName, SoundPlayer &sound)
    : m_sound(sound)
    , m_errors(programName) {}

Services SystemServices::services() {
    return Services{m_sound, m_random, m_messages, m_end, m_errors};
}

} // namespace common
