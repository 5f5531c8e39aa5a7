// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/error.h"
#include "base/int16.h"

#include <QString>

#include <array>

namespace common {

struct PictureRef {
    QString fileName;
    QString directory;

    bool operator==(const PictureRef &) const = default;
};

// The record of tavrin.ini: six numbers, then nine pictures in palette order.
// Flags are true as -1 and false as 0; other values are kept as read.
struct ExerciseSettings {
    Int16 taskCount = 0;
    Int16 smallestNumber = 0;
    Int16 largestNumber = 0;
    Int16 soundOn = 0;
    Int16 doneButtonVisible = 0;
    Int16 quitButtonVisible = 0;
    std::array<PictureRef, 9> pictures;

    bool operator==(const ExerciseSettings &) const = default;
};

inline constexpr int settingsItemCount = 24;

QString settingsFileName(); // "tavrin.ini" in the current directory

// Both throw common::Error with a Swedish message that names the failure and the file's full path.
ExerciseSettings readExerciseSettings();
ExerciseSettings readExerciseSettings(const QString &path);
void writeExerciseSettings(const ExerciseSettings &settings);
void writeExerciseSettings(const ExerciseSettings &settings, const QString &path);

// A file that holds no item at all: 0 bytes, blanks and line ends alone, or the zero bytes a crash
// can leave. Both programs take it for a file still to be made, as the settings tool makes a
// missing one. False for a missing or
// unreadable file, whose load says what is wrong.
bool isEmptySettingsFile(const QString &path);

// The bytes the writer puts in the file.
QByteArray formatExerciseSettings(const ExerciseSettings &settings, const QString &pathForErrors);
ExerciseSettings parseExerciseSettings(const QByteArray &bytes, const QString &pathForErrors);

// Directory, the platform's separator, then the file name, with no other normalisation.
QString picturePath(const PictureRef &picture);
QString picturePath(const QString &directory, const QString &fileName);

// A name or directory that the file format can store unchanged (no double quote, CR or LF).
bool isStorableText(const QString &text);

// How messages name an item of the file, by the caption the settings tool shows for it:
// "Post 3 (Högsta tavrin)", "Post 8 (Bild 1, mapp)".
QString settingsItemLabel(int item);
// The two items of palette position 0 to 8: "Post 7 och 8 (Bild 1)".
QString pictureItemsLabel(int position);
// "LABEL i inställningsfilen PATH: CAUSE." for item 1 to 24 of the file at the full path.
Error settingsItemError(const QString &label, int item, const QString &path, const QString &cause);

} // namespace common
