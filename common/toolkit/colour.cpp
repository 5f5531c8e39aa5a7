// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/colour.h"

#include "base/error.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace common {

namespace {

QPalette::ColorRole systemRole(std::uint32_t index) {
    switch (index) {
    case 0x01: // desktop
    case 0x0F: // button face
        return QPalette::Button;
    case 0x04: // menu
    case 0x05: // window background
        return QPalette::Base;
    case 0x06: // window frame
    case 0x10: // button shadow
        return QPalette::Dark;
    case 0x07: // menu text
    case 0x08: // window text
        return QPalette::Text;
    case 0x0D:
        return QPalette::Highlight;
    case 0x0E:
        return QPalette::HighlightedText;
    case 0x12:
        return QPalette::ButtonText;
    case 0x14: // button highlight
        return QPalette::Light;
    case 0x18:
        return QPalette::ToolTipBase;
    case 0x17:
        return QPalette::ToolTipText;
    default:
        throw Error(QStringLiteral("Okänd systemfärg &H%1.").arg(0x80000000u | index, 8, 16));
    }
}

} // namespace

QColor toQColor(ColourValue value) {
    if (value & 0x80000000u)
        return QApplication::palette().color(systemRole(value & 0xFFu));
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void setBackgroundColour(QWidget *widget, ColourValue value) {
    QPalette palette = widget->palette();
    const QColor colour = toQColor(value);
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Button, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setTextColour(QWidget *widget, ColourValue value) {
    QPalette palette = widget->palette();
    const QColor colour = toQColor(value);
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

void setColours(QWidget *widget, ColourValue background, ColourValue text) {
    setBackgroundColour(widget, background);
    setTextColour(widget, text);
}

} // namespace common
