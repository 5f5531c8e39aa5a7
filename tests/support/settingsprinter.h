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
