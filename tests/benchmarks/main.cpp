// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Runs every benchmark on a private desktop and prints the table.
//   tavrinbench [--results FILE] [--quick] [Qt Test options]
#include "benchmarks/benchmarks.h"
#include "support/desktop.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

int main(int argc, char **argv) {
    BenchOptions options;
    std::vector<char *> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--results") == 0 && i + 1 < argc) {
            options.resultsPath = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(argv[i], "--quick") == 0) {
            // A short pass to try the driver itself; its figures are too few to judge by.
            options.startRuns = 3;
            options.memoryRounds = 1;
            options.idleSeconds = 3;
            options.pacingTrials = 3;
            options.scaleRounds = 1;
        } else {
            rest.push_back(argv[i]);
        }
    }
    // Start-up and memory on a full HD and a 4K screen, the rest on the first only.
    BenchResults results;
    results.screens = {QSize(1920, 1080), QSize(3840, 2160)};
    int status = 0;
    for (qsizetype pass = 0; pass < results.screens.size(); ++pass) {
        const QSize screen = results.screens.at(pass);
        // A second try, in case another desktop took the same display number at the same moment.
        std::optional<Desktop> desktop;
        for (int attempt = 0; attempt < 2; ++attempt) {
            desktop.emplace();
            if (desktop->start(screen))
                break;
            std::fprintf(stderr, "tavrinbench: no desktop to measure on: %s\n",
                         qPrintable(desktop->reason()));
            if (attempt == 1)
                return 1;
        }
        qputenv("QT_QPA_PLATFORM", "xcb");
        std::vector<char *> arguments = rest;
        if (pass > 0) {
            arguments.push_back(const_cast<char *>("startUp"));
            arguments.push_back(const_cast<char *>("memoryAndIdle"));
        }
        int count = int(arguments.size());
        arguments.push_back(nullptr);
        {
            // One application per screen: it connects to that pass's X server.
            QApplication app(count, arguments.data());
            Benchmarks benchmarks(*desktop, options, screen, results);
            status |= QTest::qExec(&benchmarks, count, arguments.data());
        }
        desktop->stop();
    }

    results.addGrowthRows();
    const QString text = results.table.markdown();
    std::fputs(qPrintable(QStringLiteral("\n") + text), stdout);
    if (!results.table.write(options.resultsPath)) {
        std::fprintf(stderr, "tavrinbench: can't write %s\n", qPrintable(options.resultsPath));
        return 1;
    }
    std::printf("\nWritten to %s\n", qPrintable(QFileInfo(options.resultsPath).absoluteFilePath()));
    return status;
}
