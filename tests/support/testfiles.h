#pragma once

#include <QColor>
#include <QString>

// Writes a 32 x 32 .ico filled with one colour, for tests that need real picture files.
void writeTestIcon(const QString &path, const QColor &colour);
// Writes raw bytes, creating the file.
void writeTestFile(const QString &path, const QByteArray &bytes);
QByteArray readTestFile(const QString &path);
// Writes a 16-bit mono PCM .wav holding a sine tone.
void writeTestTone(const QString &path, double frequency, double seconds, int sampleRate = 22050);
