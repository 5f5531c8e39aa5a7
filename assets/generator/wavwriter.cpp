// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "wavwriter.h"

#include <QByteArray>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace WavWriter {
namespace {

template <typename T> void append(QByteArray &bytes, T value) {
    char buffer[sizeof(T)];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, sizeof(T));
}

} // namespace

QString write(const QString &path, const std::vector<float> &samples, int sampleRate) {
    constexpr quint16 channels = 1;
    constexpr quint16 bitsPerSample = 16;
    constexpr quint16 blockAlign = channels * bitsPerSample / 8;
    const auto dataSize = static_cast<quint32>(samples.size() * blockAlign);

    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(44 + dataSize));
    bytes.append("RIFF");
    append<quint32>(bytes, 36 + dataSize);
    bytes.append("WAVE");
    bytes.append("fmt ");
    append<quint32>(bytes, 16);
    append<quint16>(bytes, 1); // integer PCM
    append<quint16>(bytes, channels);
    append<quint32>(bytes, static_cast<quint32>(sampleRate));
    append<quint32>(bytes, static_cast<quint32>(sampleRate) * blockAlign);
    append<quint16>(bytes, blockAlign);
    append<quint16>(bytes, bitsPerSample);
    bytes.append("data");
    append<quint32>(bytes, dataSize);
    for (const float sample : samples) {
        const double scaled = std::round(std::clamp(sample, -1.0f, 1.0f) * 32767.0);
        append<qint16>(bytes, static_cast<qint16>(scaled));
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        return file.errorString();
    }
    return {};
}

} // namespace WavWriter
