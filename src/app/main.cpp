// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TAuditForm.h"
#include "dialogs/TDrivesForm.h"
#include "dialogs/TSizeForm.h"
#include "info/SvgPicture.h"
#include "info/TAboutForm.h"
#include "info/TTipForm.h"
#include "main/ConfigureApplication.h"
#include "main/ContentCompareController.h"
#include "main/ReportRunController.h"
#include "main/TMainForm.h"
#include "main/TrashRunController.h"
#include "platform/DriveProbe.h"
#include "platform/HelpViewerWindow.h"
#include "platform/PathProgramLauncher.h"
#include "platform/QtFolderChooser.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtPrintDialog.h"
#include "platform/QtPrinterDevice.h"
#include "platform/SystemLocale.h"
#include "print/TPrntProgDlg.h"

#include <QApplication>
#include <QPrinter>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ConfigureApplication();

    MountInfoDriveProbe drives;
    QtMessageBoxes messages;
    PathProgramLauncher launcher;
    HelpViewerWindow help(messages);
    QtFolderChooser folders;
    const LocaleSettings locale = systemLocaleSettings();

    // The one printer of the program: both windows print on it, so the print dialog's choice of
    // printer and copies holds for either.
    QPrinter printer(QPrinter::HighResolution);
    QtPrinterDevice printerDevice(printer);
    QtPrintDialog printDialog(printer);
    const PrintServices printing{printerDevice, printDialog, [] { return std::make_unique<TPrntProgDlg>(); }};

    // Every window once, hidden, in this order; the main window's creation comes first, so it sees
    // no other window yet.
    TMainForm mainForm(MainServices{drives, messages, launcher, help, locale});
    mainForm.SetPrinting(printing);
    TDrivesForm drivesForm(drives, folders, help);
    TSizeForm sizeForm(help);
    TAuditForm auditForm(messages, help, printing, locale);
    TAboutForm aboutForm;
    TTipForm tipForm;
    mainForm.SetDrivesForm(&drivesForm);
    mainForm.SetSizeForm(&sizeForm);
    mainForm.SetAuditForm(&auditForm);
    mainForm.SetAboutForm(&aboutForm);
    mainForm.SetTipForm(&tipForm);

    CentreOnScreen(auditForm);
    CentreOnScreen(mainForm);
    mainForm.show();
    // Window managers activate a new window themselves; asking as well covers desktops that do not.
    mainForm.activateWindow();
    const int status = app.exec();
    // Closing the window stopped a run or check still going.
    mainForm.ReportRun().Worker().JoinOrExit(WorkerThread::kStopGrace, status);
    mainForm.ContentCompare().Worker().JoinOrExit(WorkerThread::kStopGrace, status);
    // A stopped trash run still logs the group it moved, which takes its flushes: ending the process
    // before would leave files in the trash without their audit lines.
    mainForm.TrashRuns().Worker().JoinOrExit(std::chrono::seconds(30), status);
    return status;
}
