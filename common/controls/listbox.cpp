// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/listbox.h"

namespace common {

ListBox::ListBox(QWidget *parent)
    : RowList(parent) {}

void ListBox::append(const QString &text) {
    addItem(text);
}

void ListBox::removeRow(int row) {
    checkRow(row);
    delete takeItem(row);
    clearSelection();
    setCurrentRow(-1);
}

} // namespace common
