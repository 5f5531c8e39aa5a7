#pragma once

#include <QMouseEvent>

namespace common {

// A click is a left press and a release over the same control. The events are accepted, so a
// click lands on the topmost control under the pointer and never on the container behind it.
class ClickTracker final {
public:
    void press(QMouseEvent *event) {
        event->accept();
        m_pressed = event->button() == Qt::LeftButton;
    }

    // True when this release completes a click inside area.
    bool release(QMouseEvent *event, const QRect &area) {
        event->accept();
        const bool click = m_pressed && event->button() == Qt::LeftButton &&
                           area.contains(event->position().toPoint());
        m_pressed = false;
        return click;
    }

private:
    bool m_pressed = false;
};

} // namespace common
