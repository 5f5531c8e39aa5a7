#pragma once

#include <QObject>
#include <QTimer>

namespace common {

// Ticks at a fixed interval between events. A tick that falls due while a blocking call (a sound)
// is running is dropped, so ticks never run inside another event.
class Timer final : public QObject {
    Q_OBJECT

public:
    explicit Timer(QObject *parent = nullptr);

    int interval() const { return m_timer.interval(); }
    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    bool isEnabled() const { return m_timer.isActive(); }
    void setEnabled(bool enabled);

signals:
    void tick();

private:
    void onTimeout();

    QTimer m_timer;
};

} // namespace common
