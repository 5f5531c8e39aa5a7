// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QString>

#include <memory>

class QApplication;

namespace common {

// One look on every desktop: the Fusion style with its own palette and the design's fonts.
void setupApplication(QApplication &app, const QString &programName);

// The application for a program whose window's client area is windowSize at 100 %, set up as
// above. Where the desktop's scale would make the window larger than the screen, the program is
// scaled down so that the window shows whole: the application is made again with a smaller
// scale factor, before any window exists.
std::unique_ptr<QApplication> startApplication(int &argc, char **argv, const QString &programName,
                                               QSize windowSize);

} // namespace common
