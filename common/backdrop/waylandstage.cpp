// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "backdrop/waylandstage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

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

// The application's colours, every one set, so that nothing takes the stage's black.
QPalette programColours() {
    QPalette colours = QGuiApplication::palette();
    colours.setResolveMask(~QPalette::ResolveMask(0));
    return colours;
}

} // namespace

// The maximise button: a window's outline, or two while the window is maximised. Drawn, as no
// font can be counted on for the signs.
class WaylandStage::MaximiseButton final : public QToolButton {
public:
    explicit MaximiseButton(QWidget *parent)
        : QToolButton(parent) {
        setAutoRaise(true);
        const int side = fontMetrics().height() * 2;
        setMinimumSize(side, side);
        setFocusPolicy(Qt::NoFocus);
        showMaximised(false);
    }

    void showMaximised(bool maximised) {
        m_maximised = maximised;
        setToolTip(maximised ? QStringLiteral("Återställ") : QStringLiteral("Maximera"));
        update();
    }

protected:
    void paintEvent(QPaintEvent *event) override {
        QToolButton::paintEvent(event);
        QPainter painter(this);
        const int pen = std::max(1, fontMetrics().height() / 8);
        painter.setPen(QPen(palette().color(QPalette::ButtonText), pen));
        const int side = fontMetrics().height() * 5 / 8;
        QRect outline(0, 0, side, side);
        outline.moveCenter(rect().center());
        if (m_maximised) {
            const int step = side / 4;
            painter.drawRect(outline.adjusted(step, -step, step, -step));
            painter.fillRect(outline, palette().color(QPalette::Button));
        }
        painter.drawRect(outline);
        painter.fillRect(outline.adjusted(0, 0, 0, pen - outline.height()),
                         palette().color(QPalette::ButtonText));
    }

private:
    bool m_maximised = false;
};

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
    auto *maximise = new MaximiseButton(m_captionBar);
    m_maximise = maximise;
    auto *close = captionButton(QChar(0x00D7), QStringLiteral("Stäng"), m_captionBar);
    row->addWidget(m_icon);
    row->addWidget(m_caption, 1);
    row->addWidget(minimise);
    row->addWidget(maximise);
    row->addWidget(close);
    column->addWidget(m_captionBar);
    paintCaptionBar();

    // A message box shows on the stage, under a caption of its own.
    m_dialogFrame = new QFrame(this);
    m_dialogFrame->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_dialogFrame->setAutoFillBackground(true);
    m_dialogFrame->setPalette(programColours());
    m_dialogFrame->hide();
    m_dialogCaption = new QLabel(m_dialogFrame);
    m_dialogCaption->setAutoFillBackground(true);
    m_dialogCaption->setAlignment(Qt::AlignCenter);
    m_dialogCaption->setFont(bold);
    QPalette captionColours = m_dialogCaption->palette();
    captionColours.setColor(QPalette::Window, captionColours.color(QPalette::Highlight));
    captionColours.setColor(QPalette::WindowText, captionColours.color(QPalette::HighlightedText));
    m_dialogCaption->setPalette(captionColours);

    connect(minimise, &QToolButton::clicked, this, &QWidget::showMinimized);
    connect(maximise, &QToolButton::clicked, this, [this] { setMaximised(!m_maximised); });
    connect(close, &QToolButton::clicked, this, &WaylandStage::closeFront);
}

void WaylandStage::hold(QWidget &window) {
    m_front = &window;
    // Inside the stage the window can't be dragged to another size: it keeps the size it has now,
    // or fills the stage while it is maximised.
    m_normalSize = window.size();
    m_maximised = false;
    m_maximise->showMaximised(false);
    showTitleOf(window);
    setWindowIcon(window.windowIcon());
    window.setParent(m_frame);
    window.setFixedSize(m_normalSize);
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

int WaylandStage::captionHeight() const {
    return m_captionBar->sizeHint().height();
}

void WaylandStage::release() {
    if (!m_front)
        return;
    m_front->removeEventFilter(this);
    m_front->setFixedSize(m_normalSize);
    m_front->setParent(nullptr);
    m_front = nullptr;
    m_frame->hide();
}

void WaylandStage::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    placeFrame();
}

void WaylandStage::setMaximised(bool maximised) {
    if (!m_front)
        return;
    m_maximised = maximised;
    m_maximise->showMaximised(maximised);
    // The controls keep their places at the top left; only the window's area changes.
    m_front->setFixedSize(maximised ? size().shrunkBy(QMargins(0, captionHeight(), 0, 0))
                                    : m_normalSize);
    placeFrame();
}

void WaylandStage::placeFrame() {
    placeDialog();
    if (!m_front)
        return;
    if (m_maximised)
        m_front->setFixedSize(size().shrunkBy(QMargins(0, captionHeight(), 0, 0)));
    m_frame->adjustSize();
    // The window itself is centred, as a window manager centres a window's client area, as far
    // as the caption bar stays on the screen.
    const QSize client = m_front->size();
    const QPoint origin((width() - client.width()) / 2, (height() - client.height()) / 2);
    const QPoint corner = origin - m_front->pos();
    m_frame->move(std::max(corner.x(), 0), std::max(corner.y(), 0));
}

void WaylandStage::embedDialog(QWidget &dialog) {
    // Before it is shown: a window of its own would take the screen from the stage, and weston
    // then lowers the stage below its panel.
    const Qt::WindowFlags flags = dialog.windowFlags();
    dialog.setParent(this, (flags & ~Qt::WindowType_Mask) | Qt::Widget);
    // In the program's colours, not the stage's black.
    dialog.setPalette(programColours());
    dialog.setAutoFillBackground(true);
}

void WaylandStage::placeDialog() {
    if (!m_dialog || !m_dialog->isVisible())
        return;
    const int border = m_dialogFrame->frameWidth();
    const int caption = m_dialogCaption->sizeHint().height() * 3 / 2;
    QRect inner(QPoint(0, 0), m_dialog->size());
    QRect outer = inner.adjusted(-border, -border - caption, border, border);
    outer.moveCenter(rect().center());
    outer.moveTop(std::max(outer.top(), 0));
    m_dialogFrame->setGeometry(outer);
    m_dialogCaption->setGeometry(border, border, outer.width() - 2 * border, caption);
    m_dialog->move(outer.left() + border, outer.top() + border + caption);
}

void WaylandStage::dialogShown(QWidget &dialog) {
    m_dialog = &dialog;
    m_dialogCaption->setText(dialog.windowTitle());
    m_dialogFrame->show();
    m_dialogFrame->raise();
    dialog.raise();
    placeDialog();
    // Modal: the window behind waits, and the keyboard is the box's.
    m_frame->setEnabled(false);
    QPushButton *chosen = nullptr;
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
        if (button->isVisible() && (button->isDefault() || !chosen))
            chosen = button;
    }
    if (chosen) {
        // A dialog keeps track of its default button only while it is a window: the button is
        // made the default for good here, so that Return answers the box wherever the focus
        // goes in it.
        chosen->setAutoDefault(false);
        chosen->setDefault(true);
        chosen->setFocus(Qt::ActiveWindowFocusReason);
    }
    activateWindow();
}

void WaylandStage::dialogHidden(QWidget &dialog) {
    if (m_dialog != &dialog)
        return;
    m_dialog = nullptr;
    m_dialogFrame->hide();
    m_frame->setEnabled(true);
    if (m_front && m_front->focusWidget())
        m_front->focusWidget()->setFocus(Qt::ActiveWindowFocusReason);
}

void WaylandStage::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    QCoreApplication::instance()->installEventFilter(this);
}

void WaylandStage::hideEvent(QHideEvent *event) {
    if (!isMinimized())
        QCoreApplication::instance()->removeEventFilter(this);
    QWidget::hideEvent(event);
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
    const QEvent::Type type = event->type();
    if (type == QEvent::Polish || type == QEvent::Show || type == QEvent::Hide ||
        type == QEvent::Resize) {
        if (auto *dialog = qobject_cast<QDialog *>(watched)) {
            // Polished once, just before it is first shown.
            if (type == QEvent::Polish && dialog->isWindow() && isVisible())
                embedDialog(*dialog);
            else if (dialog->parentWidget() == this && type == QEvent::Show)
                dialogShown(*dialog);
            else if (dialog->parentWidget() == this && type == QEvent::Hide)
                dialogHidden(*dialog);
            else if (dialog == m_dialog && type == QEvent::Resize)
                placeDialog();
        }
    }
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
