#include "controls/form2.h"

#include "toolkit/colour.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QWindow>

namespace common {

Form2::Form2()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(QString());
    setBackgroundColour(this, 0x000000);
}

void Form2::showBackdrop() {
    if (QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    show();
}

void Form2::showInFront(QWidget &window) {
    m_front = &window;
    // Both need their platform windows before the window can be made the backdrop's transient.
    window.winId();
    winId();
    if (window.windowHandle() && windowHandle())
        window.windowHandle()->setTransientParent(windowHandle());
    // Centred on the screen the backdrop covers.
    const QScreen *target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (target)
        window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                               target->geometry()));
    window.show();
    window.raise();
    window.activateWindow();
}

void Form2::mousePressEvent(QMouseEvent *event) {
    event->accept();
    if (m_front && m_front->isVisible()) {
        m_front->raise();
        m_front->activateWindow();
    }
}

} // namespace common
