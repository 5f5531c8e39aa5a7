// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/exercisesettings.h"

#include <QStringList>
#include <QTest>

namespace common {

// How QCOMPARE shows a settings record: its 24 items on one line, in file order.
inline char *toString(const ExerciseSettings &settings) {
    QStringList items;
    for (const Int16 number :
         {settings.taskCount, settings.smallestNumber, settings.largestNumber, settings.soundOn,
          settings.doneButtonVisible, settings.quitButtonVisible})
        items << QString::number(number);
    for (const PictureRef &picture : settings.pictures)
        items << u'"' + picture.fileName + u'"' << u'"' + picture.directory + u'"';
    return qstrdup(items.join(u',').toUtf8().constData());
}

} // namespace common

// What the settings tool saves on a fresh start when only the pictures were chosen: the values
// its window is designed with.
inline common::ExerciseSettings
designValuesWith(const std::array<common::PictureRef, 9> &pictures) {
    return common::ExerciseSettings{.taskCount = 3,
                                    .smallestNumber = 3,
                                    .largestNumber = 3,
                                    .soundOn = 0,
                                    .doneButtonVisible = -1,
                                    .quitButtonVisible = -1,
                                    .pictures = pictures};
}
