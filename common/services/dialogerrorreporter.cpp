// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/dialogerrorreporter.h"

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
        QMessageBox box(QMessageBox::Critical, m_programName, message, QMessageBox::Ok);
        box.exec();
    }
    ProcessEnd::endWithStatus(1);
}

} // namespace common
