#include "controls/timer.h"

#include "toolkit/blockingcall.h"

namespace common {

Timer::Timer(QObject *parent)
    : QObject(parent) {
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
    if (!BlockingCall::active())
        emit tick();
}

} // namespace common
