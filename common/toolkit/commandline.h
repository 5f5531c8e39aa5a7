// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

namespace common {

// Answers --help and --version before any window system is touched, so packaging tools can ask
// on a machine without a display. Returns the exit status when one of them was answered; every
// other argument is ignored.
std::optional<int> answerHelpOrVersion(int argc, const char *const *argv, std::string_view program,
                                       std::string_view help);

} // namespace common
