// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The benchmarks' findings as a Markdown table, with notes below it.
class ResultTable final {
public:
    struct Row {
        QString benchmark;
        QString program;
        QString median;
        QString spread;
        QString floor;
        QString ratio;
        QString designRatio;
        QString budget;
        QString verdict;
    };

    void add(const Row &row) { m_rows << row; }
    void note(const QString &text) { m_notes << text; }
    int missed() const;

    QString markdown() const;
    bool write(const QString &path) const;

private:
    QList<Row> m_rows;
    QStringList m_notes;
};

// Verdict cells.
QString verdict(bool met);

// The median of the values; 0 for none.
double median(QList<double> values);
// "min – max" of the values with the given number of decimals.
QString spread(const QList<double> &values, int decimals = 0);
