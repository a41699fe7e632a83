// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktop receives from the program, on a private Xvfb: the windows' titles (windowTitle()
// cannot show what the desktop integration adds, so _NET_WM_NAME is read back with xprop) and the
// primary selection, which the offscreen platform does not have.
#include "info/TAboutForm.h"
#include "info/TTipForm.h"
#include "main/ConfigureApplication.h"
#include "main/TMainForm.h"
#include "platform/DriveProbe.h"
#include "platform/FakeProgramLauncher.h"
#include "platform/QtMessageBoxes.h"
#include "platform/RecordingHelpViewer.h"
#include "platform/RecordingMessageBoxes.h"
#include "widgets/TOvcTextFileViewer.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUnderXvfb = "LINTWICK_DESKTOP_TEST_XVFB";
bool g_haveX = false;
constexpr const char* kNoServer =
    "no X server: xvfb-run (package xvfb) or xprop (package x11-utils) is missing";

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
        GTEST_SKIP() << kNoServer;
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

TEST(PrimarySelection, TakesTheViewersMouseHighlight)
{
    if (!g_haveX)
        GTEST_SKIP() << kNoServer;
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("audit.txt")).toStdString();
    std::ofstream(path, std::ios::binary) << "alpha beta\r\ngamma\r\n";
    TOvcTextFileViewer viewer;
    viewer.SetFileName(path);
    viewer.SetIsOpen(true);
    viewer.SetShowCaret(false);
    viewer.resize(300, 200);
    viewer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    QClipboard* clipboard = QGuiApplication::clipboard();
    ASSERT_TRUE(clipboard->supportsSelection());
    clipboard->setText(QStringLiteral("before"), QClipboard::Selection);

    const auto cell = [&](int row, int column) {
        return QPoint(TOvcBaseViewer::kMarginWidth + static_cast<int>((column + 0.5) * viewer.CharAdvance()),
                      row * viewer.RowHeight() + viewer.RowHeight() / 2);
    };
    QTest::mousePress(viewer.viewport(), Qt::LeftButton, {}, cell(0, 6));
    QTest::mouseMove(viewer.viewport(), cell(1, 2));
    QTest::mouseRelease(viewer.viewport(), Qt::LeftButton, {}, cell(1, 2));
    EXPECT_EQ(clipboard->text(QClipboard::Selection).toStdString(), "beta\r\nga");
    EXPECT_EQ(clipboard->text(QClipboard::Clipboard).toStdString().find("beta"), std::string::npos)
        << "a mouse highlight alone leaves the clipboard";
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
