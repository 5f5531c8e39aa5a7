#include "toolkit/application.h"

#include "toolkit/fonts.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

namespace common {

void setupApplication(QApplication &app, const QString &programName) {
    QApplication::setApplicationName(programName);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    installFontSubstitutes();
    app.setQuitOnLastWindowClosed(true);
}

} // namespace common
