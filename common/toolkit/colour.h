#pragma once

#include <QColor>

#include <cstdint>

class QWidget;

namespace common {

// The windows' colour values: 0x00BBGGRR with red in the low byte, or 0x800000nn for the
// system colour nn, which follows the application palette.
using ColourValue = std::uint32_t;

inline constexpr ColourValue systemWindowBackground = 0x80000005;
inline constexpr ColourValue systemWindowText = 0x80000008;
inline constexpr ColourValue systemButtonFace = 0x8000000F;

// Throws common::Error for a system colour it does not know.
QColor toQColor(ColourValue value);

void setBackgroundColour(QWidget *widget, ColourValue value);
void setTextColour(QWidget *widget, ColourValue value);

} // namespace common
