// Runs every benchmark on a private desktop and prints the table.
//   tavrinbench [--results FILE] [--quick] [Qt Test options]
#include "benchmarks/benchmarks.h"
#include "support/desktop.h"

#include <QApplication>
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
    int restCount = int(rest.size());
    rest.push_back(nullptr);

    // A second try, in case another desktop took the same display number at the same moment.
    std::optional<Desktop> desktop;
    for (int attempt = 0; attempt < 2; ++attempt) {
        desktop.emplace();
        if (desktop->start())
            break;
        std::fprintf(stderr, "tavrinbench: no desktop to measure on: %s\n",
                     qPrintable(desktop->reason()));
        if (attempt == 1)
            return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(restCount, rest.data());
    Benchmarks benchmarks(*desktop, options);
    return QTest::qExec(&benchmarks, restCount, rest.data());
}
