// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QList>
#include <QString>

namespace IconDrawing {

inline constexpr int iconSize = 32;

struct IconFile {
    QString folder;
    QString fileName;
    QImage image;
};

// Every icon the programs ship, already flattened to the palette and outlined.
QList<IconFile> allIcons();

// Sizes of the desktop's application icons, in pixels.
inline constexpr int applicationIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// The menu icons of both programs at every size above, smooth, as PNG.
QList<IconFile> applicationIcons();

} // namespace IconDrawing
