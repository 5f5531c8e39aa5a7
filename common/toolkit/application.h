// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class QApplication;
class QWidget;

namespace common {

// One look on every desktop: the Fusion style with its own palette and the design's fonts.
void setupApplication(QApplication &app, const QString &programName);

// The application for a program whose window's client area is designSize in twips, set up as
// above, and the layout scale (units.h) its window is made at. Qt takes the desktop's scale in
// whole device pixels only, so that every line and picture lands on whole pixels (the
// application is made again for that, before any window exists), and the layout scale takes the
// rest. Where the window would not fit room(), the largest client area the screen leaves a
// window once the window system has framed it, the layout scale is smaller still, so the window
// shows whole, in its proportions.
std::unique_ptr<QApplication> startApplication(int &argc, char **argv, const QString &programName,
                                               QSize designSize,
                                               const std::function<QSize()> &room);

// Runs app's event loop and returns its exit status. Once the loop has ended the process ends
// within three seconds, even when closing the connection to the window system hangs (Qt 6.4's
// Wayland client can wait for its event thread for ever): a program that has closed its window
// but still runs would keep its folder from the next start.
int runApplication(QApplication &app);

// Gives window a fixed frame with close, minimise and maximise boxes, at size: the window manager
// has no size between that and the room startApplication() found to give it, so a drag on the
// frame can't resize it, while maximised it fills the screen (its controls stay where they are).
void fixFrame(QWidget &window, QSize size);

} // namespace common
