// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/application.h"

#include "toolkit/fonts.h"
#include "toolkit/units.h"

#include <QApplication>
#include <QProxyStyle>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include <unistd.h>

namespace common {

namespace {

// The style's own sizes (option indicators, icons, margins) at the layout scale, like the rest of
// the window.
class LayoutScaleStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        return value > 0 ? scaledPixels(value) : value;
    }
};

} // namespace

void setupApplication(QApplication &app, const QString &programName) {
    QApplication::setApplicationName(programName);
    QApplication::setStyle(new LayoutScaleStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    QApplication::setPalette(QApplication::style()->standardPalette());
    installFontSubstitutes();
    app.setQuitOnLastWindowClosed(true);
}

namespace {

// The largest client area of a framed window, as startApplication() found it.
QSize windowRoom;

qreal primaryScreenRatio() {
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1;
}

} // namespace

std::unique_ptr<QApplication> startApplication(int &argc, char **argv, const QString &programName,
                                               QSize designSize,
                                               const std::function<QSize()> &room) {
    auto app = std::make_unique<QApplication>(argc, argv);
    // The desktop's scale, from its settings or QT_SCALE_FACTOR and QT_SCREEN_SCALE_FACTORS.
    const qreal desktopScale = primaryScreenRatio();
    const qreal whole = std::max(qreal(1), std::floor(desktopScale + 0.001));
    if (std::abs(desktopScale - whole) > 0.001) {
        // At a ratio of 1.5 Qt puts the edges of controls and lines on half pixels, where some
        // are lost. Qt takes its scale factor only when the application is made.
        app.reset();
        bool set = false;
        const qreal given = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&set);
        qputenv("QT_SCALE_FACTOR",
                QByteArray::number((set && given > 0 ? given : 1) * whole / desktopScale, 'g', 17));
        app = std::make_unique<QApplication>(argc, argv);
    }
    setupApplication(*app, programName);

    const qreal rest = desktopScale / primaryScreenRatio();
    if (std::abs(rest - 1) > 0.001) {
        // Message boxes in the desktop's size too.
        QFont font = QApplication::font();
        if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * rest);
        else
            font.setPixelSize(int(std::lround(font.pixelSize() * rest)));
        QApplication::setFont(font);
    }
    const QSize space = room();
    windowRoom = space;
    const qreal width = qreal(designSize.width()) / twipsPerPixel;
    const qreal height = qreal(designSize.height()) / twipsPerPixel;
    qreal scale = rest;
    if (space.width() > 0 && space.height() > 0)
        scale = std::min({rest, space.width() / width, space.height() / height});
    setLayoutScale(scale);
    return app;
}

void fixFrame(QWidget &window, QSize size) {
    window.setWindowFlags(Qt::Window);
    window.setMinimumSize(size);
    window.resize(size);
    QSize room = windowRoom;
    if (room.isEmpty()) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        room = screen ? screen->availableGeometry().size() : size;
    }
    // Window managers keep to the steps when the frame is dragged, and maximise past them.
    window.setBaseSize(size);
    window.setSizeIncrement(std::max(1, room.width() - size.width()),
                            std::max(1, room.height() - size.height()));
}

int runApplication(QApplication &app) {
    const int status = app.exec();
    // Tearing down takes milliseconds; the window system's library may not come back at all.
    std::thread([status] {
        std::this_thread::sleep_for(std::chrono::seconds(3));
        _exit(status);
    }).detach();
    return status;
}

} // namespace common
