// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/processend.h"

#include <cstdio>
#include <cstdlib>

namespace common {

void ProcessEnd::end() {
    endWithStatus(0);
}

void ProcessEnd::endWithStatus(int status) {
    std::fflush(nullptr);
    // No destructors, no close events: the program stops here.
    std::_Exit(status);
}

} // namespace common
