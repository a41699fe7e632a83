// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/SvgPicture.h"
#include "info/TAboutForm.h"
#include "info/TTipForm.h"
#include "main/ConfigureApplication.h"
#include "main/TMainForm.h"
#include "platform/DriveProbe.h"
#include "platform/HelpViewerWindow.h"
#include "platform/PathProgramLauncher.h"
#include "platform/QtMessageBoxes.h"
#include "platform/SystemLocale.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ConfigureApplication();

    MountInfoDriveProbe drives;
    QtMessageBoxes messages;
    PathProgramLauncher launcher;
    HelpViewerWindow help(messages);

    // Every window once, hidden, in this order; the main window's creation comes first, so it sees
    // no other window yet.
    TMainForm mainForm(MainServices{drives, messages, launcher, help, systemLocaleSettings()});
    TAboutForm aboutForm;
    TTipForm tipForm;
    mainForm.SetAboutForm(&aboutForm);
    mainForm.SetTipForm(&tipForm);

    CentreOnScreen(mainForm);
    mainForm.show();
    // Window managers activate a new window themselves; asking as well covers desktops that do not.
    mainForm.activateWindow();
    return app.exec();
}
