// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/option3d.h"

#include "controls/focusring.h"
#include "toolkit/colour.h"
#include "toolkit/units.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace common {

Option3D::Option3D(const QString &caption, QWidget *parent)
    : QRadioButton(caption, parent)
    , m_captionFont(font()) {
    setAutoExclusive(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, toQColor(systemWindowBackground)); // inside of the circle
    setPalette(colours);
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        if (on)
            becomeTabStop();
    });
    new FocusRing(this);
}

void Option3D::keyPressEvent(QKeyEvent *event) {
    // Return and Enter select the option, as Space does.
    if (isPlainEnter(*event)) {
        event->accept();
        if (!event->isAutoRepeat())
            click();
        return;
    }
    QRadioButton::keyPressEvent(event);
}

void Option3D::paintEvent(QPaintEvent *) {
    // The ring shows the focus; the style's own faint frame would only add a second one.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~QStyle::State_HasFocus;
    painter.drawControl(QStyle::CE_RadioButton, option);
}

void Option3D::becomeTabStop() {
    if (!parentWidget())
        return;
    const auto group = parentWidget()->findChildren<Option3D *>(Qt::FindDirectChildrenOnly);
    for (Option3D *option : group)
        option->setFocusPolicy(option == this ? Qt::StrongFocus : Qt::ClickFocus);
}

void Option3D::setCaptionFont(const QFont &font) {
    m_captionFont = font;
    fitCaption();
}

void Option3D::resizeEvent(QResizeEvent *event) {
    QRadioButton::resizeEvent(event);
    fitCaption();
}

void Option3D::fitCaption() {
    const int indicator = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, this) +
                          style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, this);
    QFont fitted = m_captionFont;
    int pixelSize = fitted.pixelSize() > 0 ? fitted.pixelSize() : QFontInfo(fitted).pixelSize();
    const int smallestPixelSize = scaledPixels(8);
    while (pixelSize > smallestPixelSize) {
        fitted.setPixelSize(pixelSize);
        const QFontMetrics metrics(fitted);
        if (metrics.height() <= height() &&
            metrics.horizontalAdvance(text()) + indicator <= width())
            break;
        --pixelSize;
    }
    fitted.setPixelSize(pixelSize);
    setFont(fitted);
}

} // namespace common
