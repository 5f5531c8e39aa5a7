// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>

// Writes a 32 x 32 .ico filled with one colour, for tests that need real picture files.
void writeTestIcon(const QString &path, const QColor &colour);
// Writes raw bytes, creating the file.
void writeTestFile(const QString &path, const QByteArray &bytes);
QByteArray readTestFile(const QString &path);
// A sine tone as a .wav, in one of the sample layouts editors write. The last tailSeconds sound
// at tailFrequency instead, so a listener can tell whether the end was heard.
struct TestWave {
    double frequency = 440;
    double seconds = 0.5;
    int sampleRate = 22050;
    int bits = 16; // 8, 16, 24 or 32-bit integers
    int channels = 1;
    bool extensible = false; // WAVE_FORMAT_EXTENSIBLE (tag 0xFFFE) instead of plain PCM (tag 1)
    double tailFrequency = 0;
    double tailSeconds = 0;
};
void writeTestWave(const QString &path, const TestWave &wave);
// Writes a 16-bit mono PCM .wav holding a sine tone.
void writeTestTone(const QString &path, double frequency, double seconds, int sampleRate = 22050);
