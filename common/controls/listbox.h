// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/rowlist.h"

namespace common {

// A list the program fills: rows keep the order in which they were appended.
class ListBox final : public RowList {
    Q_OBJECT

public:
    explicit ListBox(QWidget *parent = nullptr);

    void append(const QString &text);
    // The rows below move up by one and no row is selected afterwards. Throws common::Error for a
    // row that doesn't exist.
    void removeRow(int row);
};

} // namespace common
