// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "supervisor/form1.h"

#include "backdrop/windowroom.h"
#include "instance/bringtofront.h"
#include "instance/singleinstance.h"
#include "services/silentsoundplayer.h"
#include "services/systemservices.h"
#include "toolkit/application.h"
#include "toolkit/commandline.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    if (const auto status = common::answerHelpOrVersion(argc, argv, "tavrinset", R"(
Varnelkontor, the settings tool of the counting exercise tavrin: the number of
tasks, the range of numbers, sound, the buttons shown and the nine palette
pictures.

Start it in the child's folder; it reads tavrin.ini there and "Spara" writes
it. Started again in a folder where it runs, it brings the running one to the
front and exits. Other arguments are ignored.

  --help     print this help and exit
  --version  print the version and exit
)"))
        return *status;
    // One settings tool per folder, so that no two edit one file: started again, it brings the
    // running one to the front and ends.
    common::SingleInstance instance("tavrinset");
    if (const auto status = instance.endStatus())
        return *status;
    const QString programName = QStringLiteral("tavrinset");
    // The window's client area must show whole at the desktop's scale.
    const auto app = common::startApplication(argc, argv, programName,
                                              supervisor::Form1::designSize, common::windowRoom);
    // The settings tool plays no sound.
    common::SilentSoundPlayer sound;
    common::SystemServices system(programName, sound);
    const common::Services services = system.services();

    supervisor::Form1 form(services);
    instance.listen([&form](const QByteArray &token) { common::bringToFront(&form, token); });
    // The window sits in front of the backdrop as its transient, so Qt doesn't count it as the
    // last window: end the program when it is closed.
    QObject::connect(&form, &supervisor::Form1::unloaded, app.get(), &QCoreApplication::quit);
    // A start failure is reported with the backdrop on the screen; the window is never shown.
    if (!form.start())
        return 1;
    return common::runApplication(*app);
}
