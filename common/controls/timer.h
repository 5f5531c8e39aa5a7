// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

namespace common {

class SoundPlayer;

// Ticks at a fixed interval between events. A tick that falls due while sound plays a cue is
// dropped, so ticks never run inside the event that played it.
class Timer final : public QObject {
    Q_OBJECT

public:
    Timer(const SoundPlayer &sound, QObject *parent = nullptr);

    int interval() const { return m_timer.interval(); }
    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    bool isEnabled() const { return m_timer.isActive(); }
    void setEnabled(bool enabled);

signals:
    void tick();

private:
    void onTimeout();

    const SoundPlayer &m_sound;
    QTimer m_timer;
};

} // namespace common
