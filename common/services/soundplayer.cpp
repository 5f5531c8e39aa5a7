// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/soundplayer.h"

#include <QScopeGuard>

namespace common {

void SoundPlayer::play(const QString &fileName) {
    ++m_playing;
    const auto done = qScopeGuard([this] { --m_playing; });
    playToEnd(fileName);
}

} // namespace common
