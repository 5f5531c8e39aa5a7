// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/form1.h"

#include "backdrop/windowroom.h"
#include "instance/bringtofront.h"
#include "instance/singleinstance.h"
#include "services/systemservices.h"
#include "sound/pulsesoundplayer.h"
#include "toolkit/application.h"
#include "toolkit/commandline.h"

#include <QApplication>

#include <optional>

int main(int argc, char *argv[]) {
    if (const auto status = common::answerHelpOrVersion(argc, argv, "tavrin", R"(
A counting exercise for young children, with a Swedish interface.

Start it in a folder prepared by the settings tool Varnelkontor (tavrinset) or
by tavrin-seed-folder: it reads tavrin.ini, the nine pictures named there and
the sounds xmusic.wav, wow.wav and horn.wav. Started again in a folder where it
runs, it brings the running exercise to the front and exits. Other arguments
are ignored.

  --help     print this help and exit
  --version  print the version and exit
)"))
        return *status;
    // One exercise per folder: started again, it brings the running one to the front and ends.
    common::SingleInstance instance("tavrin");
    if (const auto status = instance.endStatus())
        return *status;
    // The window's client area must show whole at the desktop's scale.
    const auto app = common::startApplication(argc, argv, QStringLiteral("tavrin"),
                                              exercise::Form1::designSize, common::windowRoom);
    common::PulseSoundPlayer sound;
    common::SystemServices system(QStringLiteral("tavrin"), sound);
    const common::Services services = system.services();

    // A start that fails has been reported already; the reporter ends with status 1.
    std::optional<exercise::Form1> form;
    instance.listen(
        [&form](const QByteArray &token) { common::bringToFront(form ? &*form : nullptr, token); });
    common::guarded(services.errors, [&services, &form] { form.emplace(services); });
    if (!form)
        return 1;
    // The window sits in front of the backdrop as its transient, so Qt doesn't count it as the
    // last window: end the program when it is closed.
    QObject::connect(&*form, &exercise::Form1::unloaded, app.get(), &QCoreApplication::quit);
    if (!form->start())
        return 1;
    return common::runApplication(*app);
}
