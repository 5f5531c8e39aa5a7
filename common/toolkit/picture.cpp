// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/picture.h"

#include "toolkit/picturereader.h"

#include <atomic>

namespace common {

struct Picture::Data {
    std::uint32_t handle = 0;
    QPixmap pixmap;
    QPixmap doubled; // null unless the file held an image larger than the icon size
};

namespace {

// The size every picture of the windows is laid out for.
constexpr int iconSide = 32;

std::uint32_t nextHandle() {
    static std::atomic<std::uint32_t> counter{0};
    std::uint32_t handle = ++counter;
    if (handle == 0) // after four billion loads: 0 stays reserved for the empty picture
        handle = ++counter;
    return handle;
}

} // namespace

Picture::Picture(std::shared_ptr<const Data> data)
    : m_data(std::move(data)) {}

Picture Picture::fromImage(const QImage &image) {
    auto data = std::make_shared<Data>();
    data->handle = nextHandle();
    data->pixmap = QPixmap::fromImage(image);
    return Picture(std::move(data));
}

Picture Picture::load(const QString &path) {
    PictureReader reader(path);
    auto data = std::make_shared<Data>();
    data->pixmap = QPixmap::fromImage(reader.read(iconSide));
    if (reader.largestSide() > iconSide)
        data->doubled = QPixmap::fromImage(reader.read(2 * iconSide));
    data->handle = nextHandle();
    return Picture(std::move(data));
}

std::uint32_t Picture::handle() const {
    return m_data ? m_data->handle : 0;
}

QPixmap Picture::pixmap() const {
    return m_data ? m_data->pixmap : QPixmap();
}

QPixmap Picture::pixmapFor(const QSize &box) const {
    if (!m_data)
        return {};
    const QSize own = m_data->pixmap.size();
    const bool larger = box.width() > own.width() || box.height() > own.height();
    return larger && !m_data->doubled.isNull() ? m_data->doubled : m_data->pixmap;
}

QSize Picture::size() const {
    return m_data ? m_data->pixmap.size() : QSize();
}

} // namespace common
