// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QString>

#include <cstdint>
#include <memory>

namespace common {

// A loaded picture, shared by every control that shows it. Each load gets a handle of its own,
// so two pictures are the same exactly when their handles are equal; an empty picture has 0.
class Picture final {
public:
    Picture() = default;

    // Loads the file's image for the icon size, 32 x 32 at the layout scale (units.h), in the
    // screen's own pixels (see PictureReader). Throws
    // common::Error naming the path and the cause when it is missing or not a readable picture.
    static Picture load(const QString &path);
    // A picture drawn at the design's size, shown at the layout scale.
    static Picture fromImage(const QImage &image);

    std::uint32_t handle() const;
    bool isEmpty() const { return !m_data; }
    // Its pixmap, whose device pixel ratio makes it size() on the screen.
    QPixmap pixmap() const;
    // What to draw stretched into a box: a larger image of the same file where it held one, so a
    // picture shown at twice its size stays sharp; otherwise the pixmap itself.
    QPixmap pixmapFor(const QSize &box) const;
    // Its size in the layout's pixels.
    QSize size() const;

    bool operator==(const Picture &other) const { return handle() == other.handle(); }

private:
    struct Data;
    explicit Picture(std::shared_ptr<const Data> data);

    std::shared_ptr<const Data> m_data;
};

} // namespace common
