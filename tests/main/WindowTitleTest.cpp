// SPDX-License-Identifier: GPL-3.0-or-later
// The titles the X server receives for the program's windows. windowTitle() cannot show what the
// desktop integration adds, so these tests read _NET_WM_NAME back with xprop, on a private Xvfb.
#include "info/TAboutForm.h"
#include "info/TTipForm.h"
#include "main/ConfigureApplication.h"
#include "main/TMainForm.h"
#include "platform/DriveProbe.h"
#include "platform/FakeProgramLauncher.h"
#include "platform/QtMessageBoxes.h"
#include "platform/RecordingHelpViewer.h"
#include "platform/RecordingMessageBoxes.h"

#include <QApplication>
#include <QDialog>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr const char* kUnderXvfb = "LINTWICK_TITLE_TEST_XVFB";
bool g_haveX = false;

// The window's _NET_WM_NAME as the X server holds it.
std::string TitleOnTheServer(QWidget* window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-id"), QString::number(window->winId()), QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished(10000))
        return "(xprop did not answer)";
    // _NET_WM_NAME(UTF8_STRING) = "Lintwick - Disk Clean-up"
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const qsizetype first = out.indexOf(QLatin1Char('"'));
    const qsizetype last = out.lastIndexOf(QLatin1Char('"'));
    return (first >= 0 && last > first ? out.mid(first + 1, last - first - 1) : out).toStdString();
}

std::string ShownTitle(QWidget& window)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return "(not exposed)";
    const std::string title = TitleOnTheServer(&window);
    window.hide();
    return title;
}

TEST(WindowTitles, AreExactlyTheWindowsOwnTexts)
{
    if (!g_haveX)
        GTEST_SKIP() << "no X server: xvfb-run (package xvfb) or xprop (package x11-utils) is missing";
    FixedDriveProbe drives({"/"});
    RecordingMessageBoxes recorded;
    FakeProgramLauncher launcher;
    RecordingHelpViewer help;
    TMainForm mainForm(MainServices{drives, recorded, launcher, help, LocaleSettings::usEnglish()});
    mainForm.RunModal = [](QDialog&) { return 0; };
    EXPECT_EQ(ShownTitle(mainForm), "Lintwick - Disk Clean-up");
    TTipForm tipForm(0);
    EXPECT_EQ(ShownTitle(tipForm), "Data Quality Control Tip");
    TAboutForm aboutForm;
    EXPECT_EQ(ShownTitle(aboutForm), "About Lintwick");

    QtMessageBoxes boxes;
    std::string boxTitle;
    boxes.beforeShowing = [&](QWidget* box) {
        boxTitle = QTest::qWaitForWindowExposed(box) ? TitleOnTheServer(box) : "(not exposed)";
        QTimer::singleShot(0, box, [box] { static_cast<QDialog*>(box)->reject(); });
    };
    boxes.Information("Shown to read its title.");
    EXPECT_EQ(boxTitle, "Information");
}

} // namespace

int main(int argc, char** argv)
{
    // Run again inside a private X server unless this is that run already.
    if (!std::getenv(kUnderXvfb)) {
        ::setenv(kUnderXvfb, "1", 1);
        std::vector<char*> args = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"),
                                   const_cast<char*>("-s"), const_cast<char*>("-screen 0 1280x1024x24")};
        args.insert(args.end(), argv, argv + argc);
        args.push_back(nullptr);
        ::execvp("xvfb-run", args.data());
        // Not found: without a display of its own the tests skip below.
        ::unsetenv("DISPLAY");
    }
    g_haveX = std::getenv("DISPLAY") && !QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty();
    if (g_haveX)
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    ConfigureApplication();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
