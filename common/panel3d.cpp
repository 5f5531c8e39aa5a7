#include "panel3d.h"

#include <QPainter>
#include <qdrawutil.h>

namespace common {

Panel3D::Panel3D(QWidget *parent)
    : QWidget(parent) {
    setBackground(systemButtonFace);
}

void Panel3D::setBackground(ColourValue colour) {
    setBackgroundColour(this, colour);
}

void Panel3D::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    qDrawShadePanel(&painter, rect(), palette(), false, 1);
}

void Panel3D::mousePressEvent(QMouseEvent *event) {
    m_click.press(event);
}

void Panel3D::mouseReleaseEvent(QMouseEvent *event) {
    if (m_click.release(event, rect()))
        emit clicked();
}

} // namespace common
