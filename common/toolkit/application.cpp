// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/application.h"

#include "toolkit/fonts.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>

#include <algorithm>

namespace common {

void setupApplication(QApplication &app, const QString &programName) {
    QApplication::setApplicationName(programName);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    installFontSubstitutes();
    app.setQuitOnLastWindowClosed(true);
}

namespace {

// Room around the client area for the window manager's frame and title bar, in logical pixels.
constexpr QSize frameAllowance(16, 48);

// The factor that makes windowSize fit the primary screen's free area, or 1 when it fits.
qreal fitFactor(QSize windowSize) {
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 1;
    const QSize needed = windowSize + frameAllowance;
    const QSize room = screen->availableGeometry().size();
    return std::min(
        {qreal(1), qreal(room.width()) / needed.width(), qreal(room.height()) / needed.height()});
}

} // namespace

std::unique_ptr<QApplication> startApplication(int &argc, char **argv, const QString &programName,
                                               QSize windowSize) {
    auto app = std::make_unique<QApplication>(argc, argv);
    const qreal factor = fitFactor(windowSize);
    if (factor < 1) {
        // Qt takes its scale factor only when the application is made.
        app.reset();
        bool set = false;
        const qreal given = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&set);
        qputenv("QT_SCALE_FACTOR", QByteArray::number((set && given > 0 ? given : 1) * factor));
        app = std::make_unique<QApplication>(argc, argv);
    }
    setupApplication(*app, programName);
    return app;
}

} // namespace common
