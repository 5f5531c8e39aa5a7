#pragma once

#include <QString>

class QApplication;

namespace common {

// One look on every desktop: the Fusion style with its own palette and the design's fonts.
void setupApplication(QApplication &app, const QString &programName);

} // namespace common
