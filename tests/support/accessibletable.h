// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QAccessibleInterface>
#include <QTest>
#include <QWidget>

#include <optional>
#include <vector>

// What a screen reader is told of one control: its role and name, and its value and checked
// state where the row gives them.
struct AccessibleRow {
    QWidget *widget;
    QAccessible::Role role;
    QString name;
    std::optional<int> value;
    std::optional<bool> checked;
};

// Checks every row; a failure names the row.
inline void verifyAccessible(const std::vector<AccessibleRow> &table) {
    for (const AccessibleRow &row : table) {
        QAccessibleInterface *control = QAccessible::queryAccessibleInterface(row.widget);
        QVERIFY2(control, qPrintable(row.name));
        QCOMPARE(control->role(), row.role);
        QCOMPARE(control->text(QAccessible::Name), row.name);
        if (row.value)
            QCOMPARE(control->valueInterface()->currentValue().toInt(), *row.value);
        if (row.checked)
            QVERIFY2(control->state().checkable && control->state().checked == *row.checked,
                     qPrintable(row.name));
    }
}
