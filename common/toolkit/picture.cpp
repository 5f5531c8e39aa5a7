#include "toolkit/picture.h"

#include "settings/error.h"

#include <QFileInfo>
#include <QImageReader>

#include <atomic>

namespace common {

struct Picture::Data {
    std::uint32_t handle = 0;
    QPixmap pixmap;
};

namespace {

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
    if (!QFileInfo(path).isFile())
        throw Error(QStringLiteral("Bilden %1 finns inte.").arg(path));
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        throw Error(QStringLiteral("Bilden %1 kan inte läsas: %2").arg(path, reader.errorString()));
    return fromImage(image);
}

std::uint32_t Picture::handle() const {
    return m_data ? m_data->handle : 0;
}

QPixmap Picture::pixmap() const {
    return m_data ? m_data->pixmap : QPixmap();
}

QSize Picture::size() const {
    return m_data ? m_data->pixmap.size() : QSize();
}

} // namespace common
