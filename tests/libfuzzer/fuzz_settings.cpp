// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the settings reader. It must either return a record or throw
// common::Error; a record whose texts the writer can store must read back unchanged.
#include "base/error.h"
#include "settings/exercisesettings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

bool storable(const common::ExerciseSettings &settings) {
    for (const common::PictureRef &picture : settings.pictures) {
        if (!common::isStorableText(picture.fileName) || !common::isStorableText(picture.directory))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString path = QStringLiteral("/fuzz/tavrin.ini");
    common::ExerciseSettings settings;
    try {
        settings = common::parseExerciseSettings(bytes, path);
    } catch (const common::Error &) {
        return 0;
    }
    if (!storable(settings))
        return 0;
    const QByteArray written = common::formatExerciseSettings(settings, path);
    if (!(common::parseExerciseSettings(written, path) == settings))
        std::abort();
    if (common::formatExerciseSettings(common::parseExerciseSettings(written, path), path) !=
        written)
        std::abort();
    return 0;
}
