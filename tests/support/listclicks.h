// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListWidget>
#include <QTest>

// Where a row of a list is on the screen, scrolled into view first.
inline QPoint rowCentre(QListWidget &list, int row) {
    list.scrollToItem(list.item(row));
    return list.visualItemRect(list.item(row)).center();
}

// What the window system delivers for a double click: press, release, then a press followed
// by the double click event, then the release. QTest::mouseDClick on a widget sends only the
// double click event itself.
inline void doubleClickAt(QWidget *widget, QPoint pos) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, pos);
    QTest::mousePress(widget, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
}

inline void clickRow(QListWidget &list, int row) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowCentre(list, row));
}

inline void doubleClickRow(QListWidget &list, int row) {
    doubleClickAt(list.viewport(), rowCentre(list, row));
}
