#pragma once

#include <QRect>

namespace common {

// The windows are laid out in twips; 15 twips make one pixel at 96 dots per inch.
inline constexpr int twipsPerPixel = 15;

constexpr int twipsToPixels(int twips) {
    return (twips >= 0 ? twips + twipsPerPixel / 2 : twips - twipsPerPixel / 2) / twipsPerPixel;
}

constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

} // namespace common
