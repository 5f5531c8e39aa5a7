// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/timer.h"

#include "services/soundplayer.h"

namespace common {

Timer::Timer(const SoundPlayer &sound, QObject *parent)
    : QObject(parent)
    , m_sound(sound) {
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Timer::onTimeout);
}

void Timer::setEnabled(bool enabled) {
    if (enabled)
        m_timer.start();
    else
        m_timer.stop();
}

void Timer::onTimeout() {
    if (!m_sound.isPlaying())
        emit tick();
}

} // namespace common
