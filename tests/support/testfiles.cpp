// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
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

void writeTestWave(const QString &path, const TestWave &wave) {
    const auto frames = quint32(wave.seconds * wave.sampleRate);
    const auto tailFrom = quint32((wave.seconds - wave.tailSeconds) * wave.sampleRate);
    const int bytes = wave.bits / 8;
    QByteArray data;
    data.reserve(int(frames) * bytes * wave.channels);
    for (quint32 i = 0; i < frames; ++i) {
        const double hz =
            i >= tailFrom && wave.tailSeconds > 0 ? wave.tailFrequency : wave.frequency;
        // 12000 of 32767, at every width; 8-bit samples are unsigned.
        const double level = 12000.0 / 32768.0 * std::sin(2 * M_PI * hz * i / wave.sampleRate);
        const auto sample = qint64(std::llround(level * double(1LL << (wave.bits - 1))));
        for (int c = 0; c < wave.channels; ++c) {
            if (wave.bits == 8)
                data.append(char(quint8(sample + 128)));
            else
                for (int b = 0; b < bytes; ++b)
                    data.append(char((sample >> (8 * b)) & 0xFF));
        }
    }
    QByteArray wav;
    const auto u32 = [&wav](quint32 v) {
        for (int i = 0; i < 4; ++i)
            wav.append(char((v >> (8 * i)) & 0xFF));
    };
    const auto u16 = [&wav](quint16 v) { wav.append(char(v & 0xFF)).append(char(v >> 8)); };
    const quint32 formatSize = wave.extensible ? 40 : 16;
    const auto blockAlign = quint16(bytes * wave.channels);
    wav += "RIFF";
    u32(4 + 8 + formatSize + 8 + quint32(data.size()));
    wav += "WAVEfmt ";
    u32(formatSize);
    u16(wave.extensible ? 0xFFFE : 1);
    u16(quint16(wave.channels));
    u32(quint32(wave.sampleRate));
    u32(quint32(wave.sampleRate) * blockAlign);
    u16(blockAlign);
    u16(quint16(wave.bits));
    if (wave.extensible) {
        u16(22);                             // the extension's size
        u16(quint16(wave.bits));             // valid bits
        u32(wave.channels == 2 ? 0x3 : 0x4); // front left and right, or front centre
        u16(1);                              // the PCM subformat GUID
        wav += QByteArray::fromHex("000000001000800000aa00389b71");
    }
    wav += "data";
    u32(quint32(data.size()));
    wav += data;
    writeTestFile(path, wav);
}

void writeTestTone(const QString &path, double frequency, double seconds, int sampleRate) {
    writeTestWave(path,
                  TestWave{.frequency = frequency, .seconds = seconds, .sampleRate = sampleRate});
}
