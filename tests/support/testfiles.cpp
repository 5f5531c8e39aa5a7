#include "support/testfiles.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTest>

#include <cmath>

void writeTestIcon(const QString &path, const QColor &colour) {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(colour);
    QImageWriter writer(path, "ico");
    QVERIFY2(writer.write(image), qPrintable(writer.errorString()));
}

void writeTestFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readTestFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeTestTone(const QString &path, double frequency, double seconds, int sampleRate) {
    const auto frames = quint32(seconds * sampleRate);
    QByteArray data;
    data.reserve(int(frames * 2));
    for (quint32 i = 0; i < frames; ++i) {
        const auto sample = qint16(12000 * std::sin(2 * M_PI * frequency * i / sampleRate));
        data.append(char(sample & 0xFF)).append(char((sample >> 8) & 0xFF));
    }
    QByteArray wav;
    const auto u32 = [&wav](quint32 v) {
        for (int i = 0; i < 4; ++i)
            wav.append(char((v >> (8 * i)) & 0xFF));
    };
    const auto u16 = [&wav](quint16 v) { wav.append(char(v & 0xFF)).append(char(v >> 8)); };
    wav += "RIFF";
    u32(36 + quint32(data.size()));
    wav += "WAVEfmt ";
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(quint32(sampleRate));
    u32(quint32(sampleRate) * 2);
    u16(2);
    u16(16);
    wav += "data";
    u32(quint32(data.size()));
    wav += data;
    writeTestFile(path, wav);
}
