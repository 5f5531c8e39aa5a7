// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/error.h"
#include "support/testfiles.h"
#include "toolkit/picture.h"

#include <QBuffer>
#include <QDataStream>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One image of an icon file: a square of the colour in the middle half, transparent around it.
// bits 0 stores it PNG-compressed; 1, 4 and 8 store it with a palette, 24 and 32 as colours.
struct Part {
    int width;
    int height;
    int bits;
    QColor colour;
};

QImage drawing(const Part &part) {
    QImage image(part.width, part.height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(part.width / 4, part.height / 4, part.width - part.width / 2,
                              part.height - part.height / 2, part.colour);
    return image;
}

QByteArray bitmap(const Part &part) {
    const QImage image = drawing(part);
    const int w = part.width;
    const int h = part.height;
    const int colours = part.bits <= 8 ? 1 << part.bits : 0;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(40) << qint32(w) << qint32(2 * h) << quint16(1) << quint16(part.bits)
        << quint32(0) << quint32(0) << qint32(0) << qint32(0) << quint32(colours) << quint32(0);
    for (int i = 0; i < colours; ++i) // index 0 black, index 1 the colour
        out << quint32(i == 1 ? part.colour.rgb() & 0xFFFFFF : 0);
    const auto row = [](int width, int bits) { return (width * bits + 31) / 32 * 4; };
    for (int y = h - 1; y >= 0; --y) { // rows bottom up, colours then the mask
        QByteArray colourRow(row(w, part.bits), '\0');
        for (int x = 0; x < w; ++x) {
            const QRgb p = image.pixel(x, y);
            const bool on = qAlpha(p) > 0;
            if (colours) {
                colourRow[x * part.bits / 8] |=
                    char((on ? 1 : 0) << (8 - part.bits - x * part.bits % 8));
            } else {
                const int at = x * part.bits / 8;
                colourRow[at] = char(qBlue(p));
                colourRow[at + 1] = char(qGreen(p));
                colourRow[at + 2] = char(qRed(p));
                if (part.bits == 32)
                    colourRow[at + 3] = char(qAlpha(p));
            }
        }
        out.writeRawData(colourRow.constData(), int(colourRow.size()));
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray maskRow(row(w, 1), '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(image.pixel(x, y)) == 0)
                maskRow[x / 8] |= char(0x80 >> (x % 8));
        }
        out.writeRawData(maskRow.constData(), int(maskRow.size()));
    }
    return bytes;
}

QByteArray png(const Part &part) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    drawing(part).save(&buffer, "PNG");
    return bytes;
}

// A picture of one colour stored with a palette of two, one bit a pixel.
QByteArray onePalettePng(int width, int height, const QColor &colour) {
    QImage image(width, height, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), colour.rgb()});
    image.fill(1);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray icon(const QList<Part> &parts) {
    QByteArray bytes;
    QByteArray images;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(parts.size());
    for (const Part &part : parts) {
        const QByteArray image = part.bits ? bitmap(part) : png(part);
        out << quint8(part.width) << quint8(part.height) << quint8(0) << quint8(0) << quint16(1)
            << quint16(part.bits ? part.bits : 32) << quint32(image.size())
            << quint32(6 + 16 * parts.size() + images.size());
        images += image;
    }
    return bytes + images;
}

enum class Kind { File, Missing, Folder, Pipe };

} // namespace

class TestPicture final : public QObject {
    Q_OBJECT

private slots:
    void anEntryThatClaimsGigabytesCostsLittle();
    void loadShowsTheImageMadeForTheIconSize_data();
    void loadShowsTheImageMadeForTheIconSize();
};

// A few kilobytes on the disk whose PNG entry claims 4 GiB, as long as the sparse file is: the
// picture shows, and loading it takes no more memory than any icon.
void TestPicture::anEntryThatClaimsGigabytesCostsLittle() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gles.ico"));
    QByteArray bytes = icon({{256, 256, 0, Qt::blue}});
    qToLittleEndian<quint32>(0xFFFFFFFF, bytes.data() + 6 + 8);
    writeTestFile(path, bytes);
    QCOMPARE(::truncate(QFile::encodeName(path).constData(), off_t(1) << 32), 0);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long before = usage.ru_maxrss;
    const common::Picture picture = common::Picture::load(path);
    getrusage(RUSAGE_SELF, &usage);
    QVERIFY2(usage.ru_maxrss - before < 64 * 1024,
             qPrintable(QStringLiteral("%1 MiB").arg((usage.ru_maxrss - before) / 1024)));
    QCOMPARE(picture.pixmap().toImage().pixelColor(16, 16), QColor(Qt::blue));
}

void TestPicture::loadShowsTheImageMadeForTheIconSize_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QColor>("colour");  // in the middle of the 32 x 32 picture
    QTest::addColumn<QColor>("doubled"); // in the middle of what a 64 x 64 box draws
    QTest::addColumn<QString>("error");  // with %1 for the path; empty when it loads

    const QColor red(Qt::red), green(Qt::green), blue(Qt::blue), yellow(Qt::yellow);
    const QColor cyan(Qt::cyan), magenta(Qt::magenta), none;
    const Kind file = Kind::File;
    const QByteArray sizes =
        icon({{256, 256, 0, blue}, {48, 48, 32, green}, {32, 32, 32, red}, {16, 16, 32, yellow}});
    const QByteArray broken32 = icon({{48, 48, 32, green}, {32, 32, 32, red}});
    // Width and height 0 in the directory send the reader to the bitmap header for them.
    QByteArray huge = icon({{32, 32, 32, red}});
    huge[6] = huge[7] = 0;
    qToLittleEndian<qint32>(100000, huge.data() + 22 + 4);
    qToLittleEndian<qint32>(200000, huge.data() + 22 + 8);
    QByteArray maskOnly = icon({{32, 32, 32, magenta}}); // alpha bytes 0: the mask alone counts
    for (int at = 6 + 16 + 40 + 3; at < 6 + 16 + 40 + 32 * 32 * 4; at += 4)
        maskOnly[at] = 0;
    QByteArray overlong = icon({{256, 256, 0, blue}});
    qToLittleEndian<quint32>(0xF0000000, overlong.data() + 6 + 8);
    // clang-format off
    QTest::newRow("32 alone") << file << icon({{32, 32, 32, red}}) << red << none << "";
    QTest::newRow("largest first") << file << sizes << red << blue << "";
    QTest::newRow("smallest first") << file << icon({{16, 16, 32, yellow}, {48, 48, 32, green}, {32, 32, 32, red}}) << red << green << "";
    QTest::newRow("only larger") << file << icon({{16, 16, 32, yellow}, {256, 256, 0, blue}, {48, 48, 32, green}}) << green << blue << "";
    QTest::newRow("only smaller") << file << icon({{16, 16, 32, yellow}, {24, 24, 32, cyan}}) << cyan << none << "";
    QTest::newRow("PNG entries") << file << icon({{16, 16, 0, yellow}, {256, 256, 0, blue}, {32, 32, 0, red}}) << red << blue << "";
    QTest::newRow("large single PNG") << file << icon({{256, 256, 0, blue}}) << blue << blue << "";
    QTest::newRow("256 x 256 bitmap") << file << icon({{256, 256, 24, cyan}}) << cyan << cyan << "";
    QTest::newRow("wide image") << file << icon({{64, 32, 32, magenta}}) << magenta << magenta << "";
    QTest::newRow("1 bit") << file << icon({{32, 32, 1, red}}) << red << none << "";
    QTest::newRow("4 bit") << file << icon({{32, 32, 4, green}}) << green << none << "";
    QTest::newRow("8 bit, larger") << file << icon({{48, 48, 8, blue}}) << blue << blue << "";
    QTest::newRow("24 bit") << file << icon({{32, 32, 24, yellow}}) << yellow << none << "";
    QTest::newRow("32 bit, mask alone") << file << maskOnly << magenta << none << "";
    QTest::newRow("more colours first") << file << icon({{32, 32, 4, cyan}, {32, 32, 32, red}, {32, 32, 8, green}}) << red << none << "";
    QTest::newRow("PNG file") << file << png({48, 48, 0, green}) << green << green << "";
    QTest::newRow("1-bit PNG file, fitted") << file << onePalettePng(100, 40, green) << green << green << "";
    QTest::newRow("broken entry") << file << broken32.left(broken32.size() - 64) << green << green << "";
    QTest::newRow("PNG entry longer than the file") << file << overlong << blue << blue << "";
    QTest::newRow("missing") << Kind::Missing << QByteArray() << none << none << "Bilden %1 finns inte.";
    QTest::newRow("folder") << Kind::Folder << QByteArray() << none << none << "Bilden %1 kan inte läsas: det är en mapp.";
    QTest::newRow("pipe") << Kind::Pipe << QByteArray() << none << none << "Bilden %1 kan inte läsas: det är ingen vanlig fil.";
    QTest::newRow("text") << file << QByteArray("this is no picture") << none << none << "Bilden %1 är ingen bild som kan visas.";
    QTest::newRow("empty") << file << QByteArray() << none << none << "Bilden %1 är ingen bild som kan visas.";
    QTest::newRow("directory only") << file << QByteArray::fromHex("00000100ffff") << none << none << "Bilden %1 är ingen bild som kan visas.";
    QTest::newRow("entry past the end") << file << sizes.left(6 + 16 * 4) << none << none << "Bilden %1 är ingen bild som kan visas.";
    QTest::newRow("header claims 100000 x 100000") << file << huge << none << none << "Bilden %1 är ingen bild som kan visas.";
    QTest::newRow("PNG entry larger than an icon") << file << icon({{300, 300, 0, blue}}) << none << none << "Bilden %1 är ingen bild som kan visas.";
    QTest::newRow("picture file larger than shown") << file << png({1100, 1000, 0, blue}) << none << none << "Bilden %1 är för stor för att visas: 1100 × 1000 bildpunkter, men högst 1024 × 1024 går.";
    // clang-format on
}

void TestPicture::loadShowsTheImageMadeForTheIconSize() {
    QFETCH(Kind, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QColor, colour);
    QFETCH(QColor, doubled);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bild.ico"));
    if (kind == Kind::File)
        writeTestFile(path, bytes);
    else if (kind == Kind::Folder)
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("bild.ico")));
    else if (kind == Kind::Pipe)
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);

    try {
        const common::Picture picture = common::Picture::load(path);
        QVERIFY2(error.isEmpty(), "loaded a file that holds no picture");
        QCOMPARE(picture.size(), QSize(32, 32));
        const QImage image = picture.pixmap().toImage();
        QCOMPARE(image.pixelColor(16, 16), colour);
        QCOMPARE(image.pixelColor(1, 1).alpha(), 0);
        const QImage large = picture.pixmapFor(QSize(64, 64)).toImage();
        QCOMPARE(large.size(), doubled.isValid() ? QSize(64, 64) : QSize(32, 32));
        QCOMPARE(large.pixelColor(large.width() / 2, large.height() / 2),
                 doubled.isValid() ? doubled : colour);
    } catch (const common::Error &e) {
        QCOMPARE(e.message(), error.arg(path));
    }
}

QTEST_MAIN(TestPicture)
#include "tst_picture.moc"
