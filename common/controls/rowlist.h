// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListWidget>

namespace common {

// A list of text rows with one selected row at most. A click on a row, dragging the selection to a
// row with the button held, or moving the selection with the keys, reports rowClicked(); a double
// click on a row reports rowClicked() for its first click and then rowDoubleClicked(). Clicking
// beside the rows clears the selection, and the release that ends a double click leaves the
// selection as the double click's handling left it. Enter, and Delete or Backspace, on a selected
// row report enterPressed() and deletePressed(). The list shows a ring while it has the focus.
class RowList : public QListWidget {
    Q_OBJECT

public:
    // -1 when no row is selected.
    int selectedRow() const;
    // Throws common::Error for a row that doesn't exist.
    QString rowText(int row) const;

signals:
    void rowClicked();
    void rowDoubleClicked();
    void enterPressed();
    void deletePressed();

protected:
    explicit RowList(QWidget *parent = nullptr);

    void checkRow(int row) const;

    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_doubleClicking = false;
    QPersistentModelIndex m_pressed; // the row the last press was on
};

} // namespace common
