// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "backdrop/form2.h"

#include "backdrop/backdropplatform.h"

#include <QBackingStore>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

namespace common {

Form2::Form2()
    : m_platform(BackdropPlatform::forThisPlatform()) {
    setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setTitle(QString());
}

Form2::~Form2() = default;

void Form2::showBackdrop() {
    m_platform->showBackdrop(*this);
}

void Form2::showInFront(QWidget &window) {
    m_front = &window;
    m_platform->showInFront(*this, window);
}

void Form2::closeEvent(QCloseEvent *event) {
    m_platform->backdropClosed();
    QWindow::closeEvent(event);
}

void Form2::exposeEvent(QExposeEvent *) {
    if (!isExposed() || !m_platform->backdropNeedsPainting())
        return;
    // One black pixel; a compositor fills the rest of a full-screen window with black.
    if (!m_pixel)
        m_pixel = std::make_unique<QBackingStore>(this);
    const QRect pixel(0, 0, 1, 1);
    m_pixel->resize(pixel.size());
    m_pixel->beginPaint(pixel);
    QPainter(m_pixel->paintDevice()).fillRect(pixel, Qt::black);
    m_pixel->endPaint();
    m_pixel->flush(pixel);
}

void Form2::mousePressEvent(QMouseEvent *event) {
    event->accept();
    bringFrontBack();
}

void Form2::touchEvent(QTouchEvent *event) {
    event->accept();
    bringFrontBack();
}

void Form2::bringFrontBack() {
    if (!m_front || !m_front->isVisible())
        return;
    if (m_front->isMinimized())
        m_front->setWindowState(m_front->windowState() & ~Qt::WindowMinimized);
    m_platform->activate(*m_front);
}

} // namespace common
