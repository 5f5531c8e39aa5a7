#pragma once

#include <QPointer>
#include <QWidget>

namespace common {

// The black backdrop that covers the screen behind a program's window. It takes no focus, has
// no task bar entry, and a click on it brings the window in front again.
class Form2 final : public QWidget {
    Q_OBJECT

public:
    Form2();

    // Shows the backdrop over the whole screen at once, without waiting.
    void showBackdrop();
    // Shows window centred on the backdrop's screen, in front of the backdrop, and active.
    void showInFront(QWidget &window);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QPointer<QWidget> m_front;
};

} // namespace common
