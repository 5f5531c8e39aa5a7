#include "form2.h"

#include "colour.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
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

void Form2::placeBehind(QWidget *window) {
    m_front = window;
    window->winId(); // the window needs its platform window to be made transient
    winId();
    if (window->windowHandle() && windowHandle())
        window->windowHandle()->setTransientParent(windowHandle());
}

void Form2::mousePressEvent(QMouseEvent *event) {
    event->accept();
    if (m_front && m_front->isVisible()) {
        m_front->raise();
        m_front->activateWindow();
    }
}

} // namespace common
