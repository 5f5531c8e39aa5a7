// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/error.h"

namespace common {

Error::Error(const QString &message, int item)
    : std::runtime_error(message.toStdString())
    , m_message(message)
    , m_item(item) {}

} // namespace common
