#include "exercise/form1.h"

#include "services/systemservices.h"
#include "sound/qtsoundplayer.h"
#include "toolkit/application.h"
#include "toolkit/units.h"

#include <QApplication>

#include <optional>

int main(int argc, char *argv[]) {
    // The window's client area, 9615 x 6900 twips, must show whole at the desktop's scale.
    const auto app =
        common::startApplication(argc, argv, QStringLiteral("tavrin"),
                                 QSize(common::twipsToPixels(9615), common::twipsToPixels(6900)));
    common::QtSoundPlayer sound;
    common::SystemServices system(QStringLiteral("tavrin"), sound);
    const common::Services services = system.services();

    // A start that fails has been reported already; the reporter ends with status 1.
    std::optional<exercise::Form1> form;
    common::guarded(services.errors, [&services, &form] { form.emplace(services); });
    if (!form)
        return 1;
    // The window sits in front of the backdrop as its transient, so Qt doesn't count it as the
    // last window: end the program when it is closed.
    QObject::connect(&*form, &exercise::Form1::unloaded, app.get(), &QCoreApplication::quit);
    if (!form->start())
        return 1;
    return app->exec();
}
