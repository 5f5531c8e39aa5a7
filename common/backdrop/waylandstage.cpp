// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "backdrop/waylandstage.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace common {

namespace {

// Drawn in the caption's own colours: a style's title-bar icons are made for its own frames.
QToolButton *captionButton(QChar glyph, const QString &tip, QWidget *parent) {
    auto *button = new QToolButton(parent);
    button->setText(glyph);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    // Big enough for a finger.
    const int side = button->fontMetrics().height() * 2;
    button->setMinimumSize(side, side);
    // Tab stays inside the window, as it does under a window manager's frame.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

WaylandStage::WaylandStage() {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);

    m_frame = new QWidget(this);
    m_frame->setAutoFillBackground(true);
    m_frame->setPalette(QPalette());
    m_frame->hide();
    auto *column = new QVBoxLayout(m_frame);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_captionBar = new QWidget(m_frame);
    m_captionBar->setAutoFillBackground(true);
    auto *row = new QHBoxLayout(m_captionBar);
    const int gap = style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing);
    row->setContentsMargins(gap, 1, 1, 1);
    m_icon = new QLabel(m_captionBar);
    m_caption = new QLabel(m_captionBar);
    m_caption->setAlignment(Qt::AlignCenter);
    // The caption and the buttons' glyphs are bold.
    QFont bold = m_captionBar->font();
    bold.setBold(true);
    m_captionBar->setFont(bold);
    auto *minimise = captionButton(QChar(0x2013), QStringLiteral("Minimera"), m_captionBar);
    auto *close = captionButton(QChar(0x00D7), QStringLiteral("Stäng"), m_captionBar);
    row->addWidget(m_icon);
    row->addWidget(m_caption, 1);
    row->addWidget(minimise);
    row->addWidget(close);
    column->addWidget(m_captionBar);
    paintCaptionBar();

    connect(minimise, &QToolButton::clicked, this, &QWidget::showMinimized);
    connect(close, &QToolButton::clicked, this, &WaylandStage::closeFront);
}

void WaylandStage::hold(QWidget &window) {
    m_front = &window;
    // Inside the stage the window can't be resized: it keeps the size it has now.
    const QSize size = window.size();
    showTitleOf(window);
    setWindowIcon(window.windowIcon());
    window.setParent(m_frame);
    window.setFixedSize(size);
    m_frame->layout()->addWidget(&window);
    const int iconSide = style()->pixelMetric(QStyle::PM_SmallIconSize);
    m_icon->setPixmap(window.windowIcon().pixmap(QSize(iconSide, iconSide), devicePixelRatioF()));
    window.installEventFilter(this);
    window.show();
    m_frame->show();
    placeFrame();
    // The keyboard starts where a newly shown window starts it: on the first control.
    if (!window.focusWidget() || window.focusWidget() == &window) {
        for (QWidget *next = window.nextInFocusChain(); next && next != &window;
             next = next->nextInFocusChain()) {
            if (window.isAncestorOf(next) && next->isVisibleTo(&window) && next->isEnabled() &&
                (next->focusPolicy() & Qt::TabFocus)) {
                next->setFocus(Qt::ActiveWindowFocusReason);
                break;
            }
        }
    }
    activateWindow();
}

void WaylandStage::release() {
    if (!m_front)
        return;
    m_front->removeEventFilter(this);
    m_front->setParent(nullptr);
    m_front = nullptr;
    m_frame->hide();
}

void WaylandStage::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    placeFrame();
}

void WaylandStage::placeFrame() {
    if (!m_front)
        return;
    m_frame->adjustSize();
    // The window itself is centred, as a window manager centres a window's client area.
    const QSize client = m_front->size();
    const QPoint origin((width() - client.width()) / 2, (height() - client.height()) / 2);
    m_frame->move(origin - m_front->pos());
}

void WaylandStage::changeEvent(QEvent *event) {
    if (event->type() == QEvent::ActivationChange)
        paintCaptionBar();
    QWidget::changeEvent(event);
}

void WaylandStage::paintCaptionBar() {
    // Like a window manager's caption: highlighted while the window has the keyboard.
    const bool active = isActiveWindow();
    QPalette colours = m_captionBar->palette();
    const QPalette system;
    colours.setColor(QPalette::Window, active ? system.color(QPalette::Active, QPalette::Highlight)
                                              : system.color(QPalette::Inactive, QPalette::Button));
    const QColor text = active ? system.color(QPalette::Active, QPalette::HighlightedText)
                               : system.color(QPalette::Inactive, QPalette::ButtonText);
    colours.setColor(QPalette::WindowText, text);
    colours.setColor(QPalette::ButtonText, text);
    m_captionBar->setPalette(colours);
}

bool WaylandStage::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_front && event->type() == QEvent::WindowTitleChange)
        showTitleOf(*m_front);
    return QWidget::eventFilter(watched, event);
}

void WaylandStage::showTitleOf(const QWidget &window) {
    // In the caption bar, and for the desktop's task bar and switcher.
    m_caption->setText(window.windowTitle());
    setWindowTitle(window.windowTitle());
}

void WaylandStage::closeFront() {
    if (m_front)
        m_front->close();
}

void WaylandStage::closeEvent(QCloseEvent *event) {
    // The desktop's close asks the window, which may refuse (while a sound plays, for one).
    if (m_front && m_front->isVisible() && !m_front->close()) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace common
