// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/rowlist.h"

#include "controls/focusring.h"
#include "base/error.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <utility>

namespace common {

RowList::RowList(QWidget *parent)
    : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    new FocusRing(this);
    connect(this, &QAbstractItemView::clicked, this, [this] {
        // A control-click can take the selection away again; that is no choice of a row.
        if (selectedRow() >= 0)
            emit rowClicked();
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this] { emit rowDoubleClicked(); });
}

int RowList::selectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void RowList::checkRow(int row) const {
    if (row < 0 || row >= count())
        throw Error(
            QStringLiteral("Rad %1 finns inte i listan, som har %2 rader.").arg(row).arg(count()));
}

QString RowList::rowText(int row) const {
    checkRow(row);
    return item(row)->text();
}

void RowList::mousePressEvent(QMouseEvent *event) {
    // A modal box may have held back the release that ended the last double click.
    m_doubleClicking = false;
    m_pressed = indexAt(event->position().toPoint());
    if (!m_pressed.isValid()) {
        clearSelection();
        setCurrentRow(-1);
    }
    QListWidget::mousePressEvent(event);
}

void RowList::mouseDoubleClickEvent(QMouseEvent *event) {
    m_doubleClicking = true;
    QListWidget::mouseDoubleClickEvent(event);
}

void RowList::mouseReleaseEvent(QMouseEvent *event) {
    if (!std::exchange(m_doubleClicking, false)) {
        // Pressed on one row and let go on another, the pointer has dragged the selection along:
        // no click, but a choice of a row all the same.
        const bool dragged = indexAt(event->position().toPoint()) != QModelIndex(m_pressed);
        QListWidget::mouseReleaseEvent(event);
        if (dragged && selectedRow() >= 0)
            emit rowClicked();
        return;
    }
    // Otherwise the release would select whichever row has moved under the pointer.
    const int selected = selectedRow();
    QListWidget::mouseReleaseEvent(event);
    if (selectedRow() != selected) {
        clearSelection();
        setCurrentRow(selected);
    }
}

void RowList::keyPressEvent(QKeyEvent *event) {
    const bool onRow = selectedRow() >= 0;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        if (onRow)
            emit enterPressed();
        return;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        event->accept();
        if (onRow)
            emit deletePressed();
        return;
    default:
        break;
    }
    // Space selects the row the focus put the cursor on without moving it: a choice all the same.
    const int before = selectedRow();
    QListWidget::keyPressEvent(event);
    if (selectedRow() != before && selectedRow() >= 0)
        emit rowClicked();
}

} // namespace common
