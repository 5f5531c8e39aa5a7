// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchmarks/resulttable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

int ResultTable::missed() const {
    return int(std::count_if(m_rows.cbegin(), m_rows.cend(),
                             [](const Row &row) { return row.verdict == verdict(false); }));
}

QString ResultTable::markdown() const {
    QString text = QStringLiteral(
        "| Benchmark | Program | Median | Range | Bare floor | Ratio | Ratio to bare + backdrop + "
        "text | Budget | Met |\n| --- | --- | ---: | ---: | ---: | ---: | ---: | --- | --- |\n");
    // By benchmark number; a benchmark may add a row to an earlier one's group.
    QList<Row> rows = m_rows;
    std::stable_sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
        return a.benchmark.section(u'.', 0, 0).toInt() < b.benchmark.section(u'.', 0, 0).toInt();
    });
    for (const Row &row : rows) {
        text += QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 | %9 |\n")
                    .arg(row.benchmark, row.program, row.median, row.spread, row.floor, row.ratio,
                         row.designRatio, row.budget, row.verdict);
    }
    if (!m_notes.isEmpty()) {
        text += u'\n';
        for (const QString &note : m_notes)
            text += QStringLiteral("- ") + note + u'\n';
    }
    return text;
}

bool ResultTable::write(const QString &path) const {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(markdown().toUtf8()) >= 0;
}

QString verdict(bool met) {
    return met ? QStringLiteral("yes") : QStringLiteral("**no**");
}

double median(QList<double> values) {
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

QString spread(const QList<double> &values, int decimals) {
    if (values.isEmpty())
        return QStringLiteral("–");
    const auto [low, high] = std::minmax_element(values.cbegin(), values.cend());
    return QStringLiteral("%1–%2").arg(*low, 0, 'f', decimals).arg(*high, 0, 'f', decimals);
}
