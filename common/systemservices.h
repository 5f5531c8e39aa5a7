#pragma once

#include "clockrandom.h"
#include "dialogerrorreporter.h"
#include "dialogmessagebox.h"
#include "processend.h"
#include "services.h"
#include "soundplayer.h"

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
