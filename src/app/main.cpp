// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TDrivesForm.h"
#include "dialogs/TSizeForm.h"
#include "info/SvgPicture.h"
#include "info/TAboutForm.h"
#include "info/TTipForm.h"
#include "main/ConfigureApplication.h"
#include "main/TMainForm.h"
#include "platform/DriveProbe.h"
#include "platform/HelpViewerWindow.h"
#include "platform/PathProgramLauncher.h"
#include "platform/QtFolderChooser.h"
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
    QtFolderChooser folders;

    // Every window once, hidden, in this order; the main window's creation comes first, so it sees
    // no other window yet.
    TMainForm mainForm(MainServices{drives, messages, launcher, help, systemLocaleSettings()});
    TDrivesForm drivesForm(drives, folders, help);
    TSizeForm sizeForm(help);
    TAboutForm aboutForm;
    TTipForm tipForm;
    mainForm.SetDrivesForm(&drivesForm);
    mainForm.SetSizeForm(&sizeForm);
    mainForm.SetAboutForm(&aboutForm);
    mainForm.SetTipForm(&tipForm);

    CentreOnScreen(mainForm);
    mainForm.show();
    // Window managers activate a new window themselves; asking as well covers desktops that do not.
    mainForm.activateWindow();
    return app.exec();
}
