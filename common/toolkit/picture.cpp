// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/picture.h"

#include "toolkit/picturereader.h"
#include "toolkit/units.h"

#include <QGuiApplication>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace common {

struct Picture::Data {
    std::uint32_t handle = 0;
    QPixmap pixmap;
    QPixmap doubled; // null unless the file held an image larger than the icon's size on screen
};

namespace {

// The size every picture of the windows is laid out for, in pixels of the design.
constexpr int iconSide = 32;

// Device pixels to a pixel of the layout, on the sharpest screen.
qreal screenRatio() {
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1;
}

// Pixels of the screen for a length of the design's pixels.
int onScreen(int designPixels, qreal ratio) {
    return std::max(1, int(std::lround(designPixels * layoutScale() * ratio)));
}

QPixmap forScreen(const QImage &image, qreal ratio) {
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

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
    const qreal ratio = screenRatio();
    const QSize size(onScreen(image.width(), ratio), onScreen(image.height(), ratio));
    data->pixmap =
        forScreen(image.isNull() || size == image.size()
                      ? image
                      : image.convertToFormat(QImage::Format_ARGB32)
                            .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                  ratio);
    return Picture(std::move(data));
}

Picture Picture::load(const QString &path) {
    PictureReader reader(path);
    auto data = std::make_shared<Data>();
    // Read for the pixels it takes on the screen, so that it is drawn sharp and unscaled.
    const qreal ratio = screenRatio();
    const int side = onScreen(iconSide, ratio);
    data->pixmap = forScreen(reader.read(side), ratio);
    if (reader.largestSide() > side)
        data->doubled = forScreen(reader.read(2 * side), ratio);
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
    const QSize own = size();
    const bool larger = box.width() > own.width() || box.height() > own.height();
    return larger && !m_data->doubled.isNull() ? m_data->doubled : m_data->pixmap;
}

QSize Picture::size() const {
    return m_data ? m_data->pixmap.deviceIndependentSize().toSize() : QSize();
}

} // namespace common
