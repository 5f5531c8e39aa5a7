// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/picturereader.h"

#include "base/error.h"

#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace common {

namespace {

constexpr qint64 iconDirSize = 6;
constexpr qint64 entrySize = 16;
constexpr qint64 bitmapHeaderSize = 40;
constexpr int largestIconSide = 256;
// Icon files hold a handful of images; a directory that claims thousands is broken or hostile,
// and each entry tried costs a decode.
constexpr int mostEntries = 256;
// The most a PNG entry of 256 x 256 can take: every pixel in 16-bit colour and alpha, stored
// without compression, with room for the chunks around it. A real icon takes a fraction of it.
constexpr qint64 largestPngEntry = 1 << 20;
// The largest picture file besides an icon file that is shown, scaled down.
constexpr int largestPicture = 1024;
// A name longer than the system takes names no file; as a message quotes it, its start will do.
constexpr qsizetype quotedStart = 40;

const QByteArray pngSignature("\x89PNG\r\n\x1a\n");

int le16(const char *p) {
    return int(uchar(p[0])) | int(uchar(p[1])) << 8;
}

qint64 le32(const char *p) {
    return qint64(le16(p)) | qint64(le16(p + 2)) << 16;
}

qint64 be32(const char *p) {
    return qint64(uchar(p[0])) << 24 | qint64(uchar(p[1])) << 16 | qint64(uchar(p[2])) << 8 |
           qint64(uchar(p[3]));
}

// Bitmap rows are padded to whole 32-bit words.
qint64 rowBytes(int width, int bits) {
    return (qint64(width) * bits + 31) / 32 * 4;
}

bool fullyTransparent(const QImage &image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        if (std::any_of(line, line + argb.width(), [](QRgb pixel) { return qAlpha(pixel) != 0; }))
            return false;
    }
    return true;
}

QImage fitted(const QImage &image, int side) {
    if (image.width() == side && image.height() == side)
        return image;
    const QSize size = image.size().scaled(side, side, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    // Qt scales a 1-bit image into 1 bit, dithered black and white: its colours are kept only in
    // a format with a channel for each.
    const QImage scaled = image.convertToFormat(QImage::Format_ARGB32)
                              .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage box(side, side, QImage::Format_ARGB32_Premultiplied);
    box.fill(Qt::transparent);
    QPainter painter(&box);
    painter.drawImage((side - size.width()) / 2, (side - size.height()) / 2, scaled);
    return box;
}

} // namespace

PictureReader::PictureReader(const QString &path)
    : m_path(path)
    , m_shown(QFile::encodeName(path).size() < PATH_MAX ? path : path.left(quotedStart) + u'…') {
    open();
    readDirectory();
    if (m_isIcon)
        return;
    m_file.seek(0);
    QImageReader reader(&m_file);
    // A larger image is decoded straight to the largest size an icon has, where its format allows;
    // even so its every pixel is unpacked, so one much larger than any icon is refused unread.
    const QSize size = reader.size();
    if (size.width() > largestPicture || size.height() > largestPicture)
        throw Error(QStringLiteral("Bilden %1 är för stor för att visas: %2 × %3 bildpunkter, "
                                   "men högst %4 × %4 går.")
                        .arg(m_shown)
                        .arg(size.width())
                        .arg(size.height())
                        .arg(largestPicture));
    if (size.width() > largestIconSide || size.height() > largestIconSide)
        reader.setScaledSize(size.scaled(largestIconSide, largestIconSide, Qt::KeepAspectRatio)
                                 .expandedTo(QSize(1, 1)));
    m_single = reader.read();
    if (m_single.isNull())
        noPicture();
}

void PictureReader::open() {
    if (m_path.startsWith(u':')) { // built into the program
        m_file.setFileName(m_path);
        if (!m_file.open(QIODevice::ReadOnly))
            throw Error(QStringLiteral("Bilden %1 finns inte.").arg(m_shown));
        return;
    }
    // Opened without waiting, so a pipe in the file's place can't hang the program.
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int cause = errno;
        if (cause == ENOENT || cause == ENOTDIR)
            throw Error(QStringLiteral("Bilden %1 finns inte.").arg(m_shown));
        unreadable(cause == EACCES || cause == EPERM
                       ? QStringLiteral("behörighet saknas")
                       : QStringLiteral("ett fel uppstod vid läsningen"));
    }
    struct stat status = {};
    const bool statted = ::fstat(fd, &status) == 0;
    if (!statted || !S_ISREG(status.st_mode)) {
        ::close(fd);
        unreadable(!statted                  ? QStringLiteral("ett fel uppstod vid läsningen")
                   : S_ISDIR(status.st_mode) ? QStringLiteral("det är en mapp")
                                             : QStringLiteral("det är ingen vanlig fil"));
    }
    if (!m_file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        unreadable(QStringLiteral("ett fel uppstod vid läsningen"));
    }
}

// Only as far as needed to choose an entry; Qt decodes the images.
void PictureReader::readDirectory() {
    const QByteArray head = m_file.read(iconDirSize);
    if (head.size() < iconDirSize || le16(head.constData()) != 0)
        return;
    const int type = le16(head.constData() + 2);
    if (type != 1 && type != 2) // icon or cursor
        return;
    m_isIcon = true;
    const int count = std::min(le16(head.constData() + 4), mostEntries);
    const QByteArray table = m_file.read(count * entrySize);
    for (qint64 at = 0; at + entrySize <= table.size(); at += entrySize) {
        const char *e = table.constData() + at;
        Entry entry;
        entry.index = int(at / entrySize);
        entry.width = uchar(e[0]) ? uchar(e[0]) : largestIconSide;
        entry.height = uchar(e[1]) ? uchar(e[1]) : largestIconSide;
        entry.bitCount = le16(e + 6);
        entry.bytes = le32(e + 8);
        entry.offset = le32(e + 12);
        // Two entries at one place are one image: decoding it twice would only cost twice.
        const bool seen =
            std::any_of(m_entries.begin(), m_entries.end(),
                        [&entry](const Entry &other) { return other.offset == entry.offset; });
        if (entry.offset < m_file.size() && !seen)
            m_entries.push_back(entry);
    }
}

int PictureReader::largestSide() const {
    if (!m_isIcon)
        return std::max(m_single.width(), m_single.height());
    int side = 0;
    for (const Entry &entry : m_entries)
        side = std::max({side, entry.width, entry.height});
    return side;
}

std::vector<PictureReader::Entry> PictureReader::byPreference(int side) const {
    const auto rank = [side](const Entry &e) {
        const bool exact = e.width == side && e.height == side;
        const bool covers = e.width >= side && e.height >= side;
        const int area = e.width * e.height;
        return std::tuple(exact ? 0 : covers ? 1 : 2, covers ? area : -area, -e.bitCount);
    };
    std::vector<Entry> entries = m_entries;
    std::stable_sort(entries.begin(), entries.end(),
                     [&rank](const Entry &a, const Entry &b) { return rank(a) < rank(b); });
    return entries;
}

QImage PictureReader::read(int side) {
    if (!m_isIcon)
        return fitted(m_single, side);
    // A broken entry need not spoil the file: the next best image serves.
    for (const Entry &entry : byPreference(side)) {
        if (entry.index != m_decodedIndex) {
            m_decoded = decode(entry);
            m_decodedIndex = entry.index;
        }
        if (!m_decoded.isNull())
            return fitted(m_decoded, side);
    }
    noPicture();
}

QImage PictureReader::decode(const Entry &entry) {
    if (!m_file.seek(entry.offset))
        return {};
    const QByteArray header = m_file.read(bitmapHeaderSize);
    if (header.startsWith(pngSignature)) {
        // The image header comes first. An image larger than an icon can hold is refused unread;
        // one that fits takes no more bytes than such an image can, whatever the entry claims.
        if (header.size() < 24 || header.mid(12, 4) != "IHDR")
            return {};
        const qint64 width = be32(header.constData() + 16);
        const qint64 height = be32(header.constData() + 20);
        if (width < 1 || height < 1 || width > largestIconSide || height > largestIconSide)
            return {};
        m_file.seek(entry.offset);
        return QImage::fromData(
            m_file.read(std::min({entry.bytes, m_file.size() - entry.offset, largestPngEntry})),
            "png");
    }
    if (header.size() < bitmapHeaderSize)
        return {};
    // Qt takes a width or height of 0 in the directory from the bitmap header, and makes an image
    // of whatever size that claims; no icon image is larger than 256 x 256.
    const qint64 width =
        entry.width != largestIconSide ? entry.width : le32(header.constData() + 4);
    const qint64 height =
        entry.height != largestIconSide ? entry.height : le32(header.constData() + 8) / 2;
    if (width < 1 || height < 1 || width > largestIconSide || height > largestIconSide)
        return {};
    const int bits = le16(header.constData() + 14) ? le16(header.constData() + 14) : entry.bitCount;
    m_file.seek(0);
    QImageReader reader(&m_file, "ico");
    if (!reader.jumpToImage(entry.index))
        return {};
    QImage image = reader.read();
    if (image.isNull() || (bits != 24 && bits != 32))
        return image;
    // Qt drops the mask of 24-bit images, which then show a black background. Older 32-bit images
    // leave every alpha byte at 0 and mean the mask alone; Qt shows nothing of them.
    const qint64 colours = entry.offset + bitmapHeaderSize;
    const qint64 mask = colours + rowBytes(image.width(), bits) * image.height();
    if (bits == 24 || (fullyTransparent(image) && readOpaque(image, colours)))
        applyMask(image, mask);
    return image;
}

bool PictureReader::readOpaque(QImage &image, qint64 offset) {
    const int width = image.width();
    const int height = image.height();
    const qint64 stride = rowBytes(width, 32);
    if (!m_file.seek(offset))
        return false;
    const QByteArray colours = m_file.read(stride * height);
    if (colours.size() < stride * height)
        return false;
    image = QImage(width, height, QImage::Format_ARGB32);
    for (int row = 0; row < height; ++row) {
        const auto *bgra = reinterpret_cast<const uchar *>(colours.constData() + row * stride);
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(height - 1 - row)); // bottom up
        for (int x = 0; x < width; ++x, bgra += 4)
            line[x] = qRgb(bgra[2], bgra[1], bgra[0]);
    }
    return true;
}

void PictureReader::applyMask(QImage &image, qint64 offset) {
    const int width = image.width();
    const int height = image.height();
    const qint64 stride = rowBytes(width, 1);
    if (!m_file.seek(offset))
        return;
    const QByteArray mask = m_file.read(stride * height);
    if (mask.size() < stride * height)
        return; // a short mask: the colours still show
    image.convertTo(QImage::Format_ARGB32);
    for (int row = 0; row < height; ++row) {
        const auto *bits = reinterpret_cast<const uchar *>(mask.constData() + row * stride);
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(height - 1 - row)); // bottom up
        for (int x = 0; x < width; ++x) {
            if (bits[x / 8] & (0x80 >> (x % 8)))
                line[x] = 0;
        }
    }
}

void PictureReader::unreadable(const QString &cause) const {
    throw Error(QStringLiteral("Bilden %1 kan inte läsas: %2.").arg(m_shown, cause));
}

void PictureReader::noPicture() const {
    if (m_file.error() == QFileDevice::ReadError)
        unreadable(QStringLiteral("ett fel uppstod vid läsningen"));
    throw Error(QStringLiteral("Bilden %1 är ingen bild som kan visas.").arg(m_shown));
}

} // namespace common
