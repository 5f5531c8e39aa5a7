// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace common {

// Reports an error that the program does not handle itself and ends the program with status 1.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void report(const QString &message) = 0;
};

} // namespace common
