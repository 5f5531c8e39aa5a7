// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/messagebox.h"

namespace common {

class DialogMessageBox final : public MessageBox {
public:
    void warning(const QString &text) override;
    void information(const QString &text) override;
};

} // namespace common
