// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchmarks/procstats.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>

#include <unistd.h>

namespace {

QByteArray readProcFile(long pid, const char *name) {
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

std::optional<long> peakResidentKiB(long pid) {
    for (const QByteArray &line : readProcFile(pid, "status").split('\n')) {
        if (line.startsWith("VmHWM:")) {
            bool ok = false;
            const long kib = line.mid(6).trimmed().split(' ').first().toLong(&ok);
            if (ok)
                return kib;
        }
    }
    return std::nullopt;
}

std::optional<double> cpuTimeMs(long pid) {
    const QByteArray stat = readProcFile(pid, "stat");
    // The command name in parentheses may hold blanks; the fields after it are plain.
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    // After the name: state is field 3 of the whole line, utime 14 and stime 15.
    if (fields.size() < 13)
        return std::nullopt;
    bool okUser = false, okSystem = false;
    const double ticks =
        double(fields.at(11).toLongLong(&okUser) + fields.at(12).toLongLong(&okSystem));
    if (!okUser || !okSystem)
        return std::nullopt;
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

std::optional<double> preciseCpuTimeMs(long pid) {
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    const QStringList threads = tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (threads.isEmpty())
        return std::nullopt;
    double ns = 0;
    for (const QString &thread : threads) {
        QFile file(tasks.filePath(thread + QStringLiteral("/schedstat")));
        if (!file.open(QIODevice::ReadOnly))
            continue; // ended meanwhile
        ns += file.readAll().split(' ').first().toDouble();
    }
    return ns / 1e6;
}
