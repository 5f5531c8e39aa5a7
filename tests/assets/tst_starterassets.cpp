// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/starterfiles.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

const QString assetsDir = QStringLiteral(TAVRIN_ASSETS_DIR);

QStringList allIconPaths() {
    QStringList paths;
    for (const QString &name : starterPictures) {
        paths << "starter/" + name;
    }
    return paths << "app/apple.ico"
                 << "app/stop.ico";
}

QImage loadIcon(const QString &relativePath) {
    QImageReader reader(assetsDir + '/' + relativePath, "ico");
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

bool isDark(QRgb pixel) {
    return qGray(pixel) < 70;
}

// Most frequent opaque colour apart from the dark outline: what a child sees the icon as.
QRgb mainColour(const QImage &image) {
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) != 0 && !isDark(pixel)) {
                ++counts[pixel];
            }
        }
    }
    QRgb best = 0;
    int bestCount = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > bestCount) {
            best = it.key();
            bestCount = it.value();
        }
    }
    return best;
}

struct WavInfo {
    quint16 format = 0;
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint32 byteRate = 0;
    quint16 blockAlign = 0;
    quint16 bitsPerSample = 0;
    QByteArray data;
};

// Minimal RIFF walk: find "fmt " and "data", honouring the pad byte after odd-sized chunks.
std::optional<WavInfo> parseWav(const QByteArray &bytes, QString &why) {
    const auto u16 = [&bytes](qsizetype at) {
        return qFromLittleEndian<quint16>(bytes.constData() + at);
    };
    const auto u32 = [&bytes](qsizetype at) {
        return qFromLittleEndian<quint32>(bytes.constData() + at);
    };
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        why = "not a RIFF/WAVE file";
        return std::nullopt;
    }
    if (u32(4) != static_cast<quint32>(bytes.size() - 8)) {
        why = QString("RIFF size %1 does not match file size %2").arg(u32(4)).arg(bytes.size());
        return std::nullopt;
    }
    WavInfo info;
    bool haveFormat = false;
    bool haveData = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = u32(at + 4);
        const qsizetype body = at + 8;
        if (body + static_cast<qsizetype>(size) > bytes.size()) {
            why = QString("chunk %1 runs past the end of the file").arg(QString::fromLatin1(id));
            return std::nullopt;
        }
        if (id == "fmt " && size >= 16) {
            info.format = u16(body);
            info.channels = u16(body + 2);
            info.sampleRate = u32(body + 4);
            info.byteRate = u32(body + 8);
            info.blockAlign = u16(body + 12);
            info.bitsPerSample = u16(body + 14);
            haveFormat = true;
        } else if (id == "data") {
            info.data = bytes.mid(body, size);
            haveData = true;
        }
        at = body + size + (size % 2);
    }
    if (!haveFormat || !haveData) {
        why = "missing fmt or data chunk";
        return std::nullopt;
    }
    return info;
}

} // namespace

class TestStarterAssets final : public QObject {
    Q_OBJECT

private slots:
    void iconIsFlatOutlinedAndSmall_data();
    void iconIsFlatOutlinedAndSmall();
    void iconsShareOneSmallPalette();
    void paletteIconsDifferFromEachOther();
    void soundIsShortGentlePcm_data();
    void soundIsShortGentlePcm();
    void applicationIconsComeInEverySize_data();
    void applicationIconsComeInEverySize();
};

void TestStarterAssets::iconIsFlatOutlinedAndSmall_data() {
    QTest::addColumn<QString>("path");
    for (const QString &path : allIconPaths()) {
        QTest::newRow(qPrintable(path)) << path;
    }
}

void TestStarterAssets::iconIsFlatOutlinedAndSmall() {
    QFETCH(QString, path);
    const QImage image = loadIcon(path);
    QVERIFY2(!image.isNull(), qPrintable("cannot load " + path));
    QCOMPARE(image.size(), QSize(32, 32));

    for (const QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)}) {
        QCOMPARE(qAlpha(image.pixel(corner)), 0);
    }

    QSet<QRgb> colours;
    int opaque = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb pixel = image.pixel(x, y);
            const int alpha = qAlpha(pixel);
            QVERIFY2(alpha == 0 || alpha == 255,
                     qPrintable(QString("half-transparent pixel at %1,%2").arg(x).arg(y)));
            if (alpha == 0) {
                continue;
            }
            ++opaque;
            colours.insert(pixel);
            // Silhouette edge must be dark so the shape reads on light backgrounds.
            const bool onEdge =
                x == 0 || y == 0 || x == 31 || y == 31 || qAlpha(image.pixel(x - 1, y)) == 0 ||
                qAlpha(image.pixel(x + 1, y)) == 0 || qAlpha(image.pixel(x, y - 1)) == 0 ||
                qAlpha(image.pixel(x, y + 1)) == 0;
            QVERIFY2(!onEdge || isDark(pixel),
                     qPrintable(QString("light edge pixel at %1,%2").arg(x).arg(y)));
        }
    }
    QVERIFY2(colours.size() <= 16, qPrintable(QString("%1 colours").arg(colours.size())));
    // Bold pictures for small children: a good part of the square is covered.
    QVERIFY2(opaque >= 32 * 32 / 4, qPrintable(QString("only %1 opaque pixels").arg(opaque)));
}

void TestStarterAssets::iconsShareOneSmallPalette() {
    QSet<QRgb> colours;
    for (const QString &path : allIconPaths()) {
        const QImage image = loadIcon(path);
        QVERIFY2(!image.isNull(), qPrintable("cannot load " + path));
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qAlpha(image.pixel(x, y)) != 0) {
                    colours.insert(image.pixel(x, y));
                }
            }
        }
    }
    QVERIFY2(colours.size() <= 16, qPrintable(QString("%1 colours in all").arg(colours.size())));
}

void TestStarterAssets::paletteIconsDifferFromEachOther() {
    QList<QImage> images;
    for (const QString &name : starterPictures) {
        images << loadIcon("starter/" + name);
        QVERIFY2(!images.last().isNull(), qPrintable("cannot load " + name));
    }
    for (qsizetype a = 0; a < images.size(); ++a) {
        for (qsizetype b = a + 1; b < images.size(); ++b) {
            int differing = 0;
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 32; ++x) {
                    differing += images[a].pixel(x, y) != images[b].pixel(x, y) ? 1 : 0;
                }
            }
            const bool shapeDiffers = differing > 32 * 32 / 4;
            const bool colourDiffers = mainColour(images[a]) != mainColour(images[b]);
            QVERIFY2(shapeDiffers || colourDiffers,
                     qPrintable(QString("%1 and %2 look alike (%3 pixels differ)")
                                    .arg(starterPictures[a], starterPictures[b])
                                    .arg(differing)));
        }
    }
}

void TestStarterAssets::soundIsShortGentlePcm_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<double>("minSeconds");
    QTest::addColumn<double>("maxSeconds");
    QTest::newRow("intro") << "starter/" + starterSounds[0] << 2.5 << 3.5;
    QTest::newRow("praise") << "starter/" + starterSounds[1] << 0.7 << 1.3;
    QTest::newRow("try again") << "starter/" + starterSounds[2] << 0.3 << 0.7;
}

void TestStarterAssets::soundIsShortGentlePcm() {
    QFETCH(QString, path);
    QFETCH(double, minSeconds);
    QFETCH(double, maxSeconds);

    QFile file(assetsDir + '/' + path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    QString why;
    const std::optional<WavInfo> wav = parseWav(file.readAll(), why);
    QVERIFY2(wav.has_value(), qPrintable(why));

    QCOMPARE(wav->format, quint16(1));
    QCOMPARE(wav->channels, quint16(1));
    QCOMPARE(wav->bitsPerSample, quint16(16));
    QCOMPARE(wav->sampleRate, quint32(22050));
    QCOMPARE(wav->blockAlign, quint16(2));
    QCOMPARE(wav->byteRate, wav->sampleRate * 2);
    QCOMPARE(wav->data.size() % 2, 0);

    const qsizetype count = wav->data.size() / 2;
    const double seconds = static_cast<double>(count) / wav->sampleRate;
    QVERIFY2(seconds >= minSeconds && seconds <= maxSeconds,
             qPrintable(QString("%1 s").arg(seconds)));

    const auto sample = [&wav](qsizetype i) {
        return static_cast<int>(qFromLittleEndian<qint16>(wav->data.constData() + 2 * i));
    };
    int peak = 0;
    for (qsizetype i = 0; i < count; ++i) {
        peak = std::max(peak, std::abs(sample(i)));
    }
    QVERIFY2(peak > 0, "silent");
    // Comfortably below full scale (about -6 dBFS is the aim), so nothing is loud for a child.
    QVERIFY2(peak < 32767 * 6 / 10, qPrintable(QString("peak %1").arg(peak)));
    // Starting or stopping away from zero would click.
    QVERIFY2(std::abs(sample(0)) < 330, qPrintable(QString("first sample %1").arg(sample(0))));
    QVERIFY2(std::abs(sample(count - 1)) < 330,
             qPrintable(QString("last sample %1").arg(sample(count - 1))));
}

void TestStarterAssets::applicationIconsComeInEverySize_data() {
    QTest::addColumn<int>("size");
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QTest::newRow(qPrintable(QString("%1 px").arg(size))) << size;
    }
}

void TestStarterAssets::applicationIconsComeInEverySize() {
    QFETCH(int, size);
    const QString folder = QString("%1/app/icons/%2x%2/").arg(assetsDir).arg(size);
    const QImage exercise =
        QImageReader(folder + "tavrin.png", "png").read().convertToFormat(QImage::Format_ARGB32);
    const QImage settings =
        QImageReader(folder + "tavrinset.png", "png").read().convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!exercise.isNull() && !settings.isNull(), qPrintable("cannot load from " + folder));
    QCOMPARE(exercise.size(), QSize(size, size));
    QCOMPARE(settings.size(), QSize(size, size));

    for (const QImage *image : {&exercise, &settings}) {
        const int last = size - 1;
        for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last)}) {
            QCOMPARE(qAlpha(image->pixel(corner)), 0);
        }
        int opaque = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                opaque += qAlpha(image->pixel(x, y)) > 127 ? 1 : 0;
            }
        }
        QVERIFY2(opaque >= size * size / 3, qPrintable(QString("only %1 opaque").arg(opaque)));
    }
    // The menu shows the window's own apple, in the same red.
    QCOMPARE(mainColour(exercise), mainColour(loadIcon("app/apple.ico")));
    int differing = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            differing += exercise.pixel(x, y) != settings.pixel(x, y) ? 1 : 0;
        }
    }
    QVERIFY2(differing > size * size / 8, "the two programs' icons look alike");
}

QTEST_GUILESS_MAIN(TestStarterAssets)

#include "tst_starterassets.moc"
