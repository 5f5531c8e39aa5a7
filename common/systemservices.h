#pragma once

#include "clockrandom.h"
#include "dialogerrorreporter.h"
#include "dialogmessagebox.h"
#include "processend.h"
#include "qtsoundplayer.h"
#include "services.h"

namespace common {

// The real services of a running program.
class SystemServices final {
public:
    explicit SystemServices(const QString &programName);

    Services services();

private:
    QtSoundPlayer m_sound;
    ClockRandom m_random;
    DialogMessageBox m_messages;
    ProcessEnd m_end;
    DialogErrorReporter m_errors;
};

} // namespace common
