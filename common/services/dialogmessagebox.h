// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/messagebox.h"

class QMessageBox;

namespace common {

// Shows box modally in front of what the program shows, centred over it, titled with the
// program's name when it has no title of its own, and waits until it is dismissed.
void execInFront(QMessageBox &box);

class DialogMessageBox final : public MessageBox {
public:
    void warning(const QString &text) override;
    void information(const QString &text) override;
};

} // namespace common
