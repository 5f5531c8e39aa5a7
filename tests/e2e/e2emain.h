// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/desktop.h"

#include <QApplication>
#include <QTest>

#include <cstdio>

// The tests' own desktop again once a test has started one of its own.
struct KeptEnvironment {
    QByteArray display = qgetenv("DISPLAY");
    QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    ~KeptEnvironment() {
        qputenv("DISPLAY", display);
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
    }
};

// Starts the private desktop before the application connects to it, then runs the tests.
#define TAVRIN_E2E_MAIN(TestClass)                                                                 \
    int main(int argc, char **argv) {                                                              \
        Desktop desktop;                                                                           \
        if (!desktop.start()) {                                                                    \
            std::fprintf(stderr, "FAIL!  : no desktop for the end-to-end tests: %s\n",             \
                         qPrintable(desktop.reason()));                                            \
            return 1;                                                                              \
        }                                                                                          \
        qputenv("QT_QPA_PLATFORM", "xcb");                                                         \
        QApplication app(argc, argv);                                                              \
        TestClass test(desktop);                                                                   \
        const int failures = QTest::qExec(&test, argc, argv);                                      \
        desktop.stop();                                                                            \
        return failures;                                                                           \
    }
