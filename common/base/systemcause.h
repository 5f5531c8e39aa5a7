// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace common {

// What a failed system call's errno means, as a Swedish phrase to follow a colon ("disken är
// full"). The C library's own texts are English and never reach the user.
QString systemCause(int error);

} // namespace common
