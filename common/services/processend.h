// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/programend.h"

namespace common {

class ProcessEnd final : public ProgramEnd {
public:
    [[noreturn]] void end() override;
    [[noreturn]] static void endWithStatus(int status);
};

} // namespace common
