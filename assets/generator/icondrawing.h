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

} // namespace IconDrawing
