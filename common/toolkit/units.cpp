// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/units.h"

#include <QWidget>

namespace common {

void place(QWidget *widget, int left, int top, int width, int height) {
    widget->setGeometry(twipsRect(left, top, width, height));
}

} // namespace common
