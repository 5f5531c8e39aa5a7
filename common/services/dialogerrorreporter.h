// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/errorreporter.h"

namespace common {

// Writes "PROGRAM: MESSAGE" to standard error, shows the message and ends with status 1.
class DialogErrorReporter final : public ErrorReporter {
public:
    explicit DialogErrorReporter(const QString &programName);
    [[noreturn]] void report(const QString &message) override;

private:
    QString m_programName;
};

} // namespace common
