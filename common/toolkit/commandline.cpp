// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/commandline.h"

#include <iostream>

namespace common {

std::optional<int> answerHelpOrVersion(int argc, const char *const *argv, std::string_view program,
                                       std::string_view help) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help") {
            std::cout << "Usage: " << program << " [--help] [--version]\n" << help;
        } else if (argument == "--version") {
            std::cout << program << ' ' << TAVRIN_VERSION << "\n"
                      << "Copyright (C) 2026 The Tavrin developers\n"
                         "License GPL-3.0-or-later <https://www.gnu.org/licenses/gpl-3.0.html>.\n"
                         "This is free software: you are free to change and redistribute it.\n"
                         "There is NO WARRANTY, to the extent permitted by law.\n";
        } else {
            continue;
        }
        // A full disk or a closed pipe must not pass for an answer.
        std::cout.flush();
        return std::cout ? 0 : 1;
    }
    return std::nullopt;
}

} // namespace common
