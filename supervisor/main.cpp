#include "application.h"
#include "form1.h"
#include "systemservices.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const QString programName = QStringLiteral("tavrinset");
    common::setupApplication(app, programName);
    common::SystemServices system(programName);
    const common::Services services = system.services();

    supervisor::Form1 form(services);
    bool loaded = false;
    // A start failure is reported with the backdrop on the screen; the window is never shown.
    common::guarded(services.errors, [&form, &loaded] {
        form.load();
        loaded = true;
    });
    if (!loaded)
        return 1;
    form.showOverBackdrop();
    return app.exec();
}
