// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace common {

// Messages to the person at the screen; each call waits until the message is dismissed.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Warning icon, an OK button alone, an empty title.
    virtual void warning(const QString &text) = 0;
    virtual void information(const QString &text) = 0;
};

} // namespace common
