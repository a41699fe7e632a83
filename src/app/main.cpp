// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/SvgPicture.h"
#include "info/TAboutForm.h"
#include "info/TTipForm.h"
#include "main/TMainForm.h"
#include "platform/DriveProbe.h"
#include "platform/HelpViewerWindow.h"
#include "platform/PathProgramLauncher.h"
#include "platform/QtMessageBoxes.h"
#include "platform/SystemLocale.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lintwick"));
    QApplication::setApplicationDisplayName(QStringLiteral("Lintwick"));
    // Task bars and docks match the windows to the installed launcher entry and show its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.corvane.Lintwick"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("example.corvane.Lintwick"),
                         QIcon(QStringLiteral(":/app/example.corvane.Lintwick.svg"))));
    // The main window decides when the program ends, not the last visible window.
    QApplication::setQuitOnLastWindowClosed(false);

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
