// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktop receives from the program, on a private Xvfb: the primary selection, which the
// offscreen platform does not have.
#include "main/ConfigureApplication.h"
#include "widgets/TOvcTextFileViewer.h"

#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUnderXvfb = "LINTWICK_DESKTOP_TEST_XVFB";
bool g_haveX = false;
constexpr const char* kNoServer = "no X server: xvfb-run (package xvfb) is missing";

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
    g_haveX = std::getenv("DISPLAY") != nullptr;
    if (g_haveX)
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    ConfigureApplication();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
