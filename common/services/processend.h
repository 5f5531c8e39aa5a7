#pragma once

#include "services/programend.h"

namespace common {

class ProcessEnd final : public ProgramEnd {
public:
    [[noreturn]] void end() override;
    [[noreturn]] static void endWithStatus(int status);
};

} // namespace common
