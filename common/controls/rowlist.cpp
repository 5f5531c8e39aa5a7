#include "controls/rowlist.h"

#include "settings/error.h"

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
    if (!indexAt(event->position().toPoint()).isValid()) {
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
        QListWidget::mouseReleaseEvent(event);
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
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && selectedRow() >= 0)
        emit rowClicked();
}

} // namespace common
