// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/dialogerrorreporter.h"

#include "services/dialogmessagebox.h"
#include "services/processend.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace common {

DialogErrorReporter::DialogErrorReporter(const QString &programName)
    : m_programName(programName) {}

void DialogErrorReporter::report(const QString &message) {
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(m_programName), qUtf8Printable(message));
    std::fflush(stderr);
    // Headless there is nobody to read a dialog; standard error has it already.
    if (QGuiApplication::platformName() != QLatin1String("offscreen") &&
        QGuiApplication::platformName() != QLatin1String("minimal")) {
        // In front of the backdrop that already covers the screen, where the person can answer it.
        QMessageBox box(QMessageBox::Critical, m_programName, message, QMessageBox::Ok);
        execInFront(box);
    }
    ProcessEnd::endWithStatus(1);
}

} // namespace common
