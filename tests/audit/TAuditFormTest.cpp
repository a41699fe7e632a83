// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TAuditForm.h"
#include "audit/AuditLog.h"
#include "platform/PrintDialog.h"
#include "platform/RecordingHelpViewer.h"
#include "platform/RecordingMessageBoxes.h"
#include "platform/RecordingPrinter.h"
#include "widgets/TOvcTextFileViewer.h"

#include "AuditTestFiles.h"
#include "PrintedText.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <unistd.h>

namespace {

using Shown = RecordingMessageBoxes::Shown;

class AuditFormTest : public ::testing::Test
{
protected:
    QToolButton* Button(const char* name) const
    {
        return m_form.findChild<QToolButton*>(QString::fromLatin1(name));
    }
    QAction* Action(const char* name) const { return m_form.findChild<QAction*>(QString::fromLatin1(name)); }
    QString Status() const { return m_form.StatusPanel()->text(); }

    void Open(const std::string& path)
    {
        m_form.SetFileName(path);
        Button("AuditOpenButton")->click();
    }

    // Print, Restore and the search field follow the viewer.
    void ExpectViewerControls(bool enabled)
    {
        EXPECT_EQ(Action("Print1")->isEnabled(), enabled);
        EXPECT_EQ(Button("AuditRestoreButton")->isEnabled(), enabled);
        EXPECT_EQ(m_form.AuditSearchEdit()->isEnabled(), enabled);
    }

    TempTree m_tree;
    RecordingMessageBoxes m_messages;
    RecordingHelpViewer m_help;
    RecordingPrinter m_printer;
    FakePrintDialog m_dialog;
    TAuditForm m_form{m_messages, m_help, PrintServices{m_printer, m_dialog, {}},
                      LocaleSettings::usEnglish()};
};

TEST_F(AuditFormTest, OpenShowsTheFileOrSaysItWasNotFoundAndRefusesFifosAndDevices)
{
    // In a folder whose name is not UTF-8, as a program folder may be; blanks and control characters
    // around the name do not count.
    WriteFile(m_tree, "caf\xe9/audit.txt",
              "3/7/26 2:05:09 PM  /tmp/a.tmp\r\n3/7/26 2:06:00 PM  /tmp/b.tmp\r\n");
    Open("  " + m_tree.path("caf\xe9/audit.txt") + "\t");
    EXPECT_EQ(Status(), "Audit Report Displayed Successfully");
    EXPECT_EQ(m_form.AuditMemo()->Line(1), "3/7/26 2:06:00 PM  /tmp/b.tmp");
    ExpectViewerControls(true);

    // A failed Open empties the view and switches its controls off; a FIFO, a device or a folder is
    // refused at once instead of hanging.
    m_tree.fifo("fifo.txt");
    for (const std::string& path :
         {m_tree.path("missing.txt"), m_tree.path("fifo.txt"), std::string("/dev/zero"), m_tree.root()}) {
        Open(path);
        EXPECT_EQ(Status(), "Audit Report File Empty Or Not Found") << path;
        EXPECT_EQ(m_form.AuditMemo()->LineCount(), 0);
        ExpectViewerControls(false);
    }
}

// Stepping through the matches is the viewer's; here, what the window asks and says.
TEST_F(AuditFormTest, SearchLooksForTheTextAsTypedButNotForBlanksAloneAndSaysWhenItIsNotFound)
{
    WriteFile(m_tree, "audit.txt", "1/2/26 9:00:00 AM  /var/a.log\r\n1/2/26 9:01:00 AM  /srv/b.log\r\n");
    Open(m_tree.path("audit.txt"));
    m_form.AuditSearchEdit()->setText(QStringLiteral(" /srv"));
    QTest::keyClick(m_form.AuditSearchEdit(), Qt::Key_Return);
    EXPECT_EQ(m_form.AuditMemo()->HighlightStart(), (ViewerPos{1, 18}));
    m_form.AuditSearchEdit()->setText(QStringLiteral("   "));
    QTest::keyClick(m_form.AuditSearchEdit(), Qt::Key_Return);
    EXPECT_EQ(m_form.AuditMemo()->HighlightStart(), (ViewerPos{1, 18}));
    EXPECT_TRUE(m_messages.shown.empty());
    m_form.AuditSearchEdit()->setText(QStringLiteral("  /srv"));
    Button("AuditSearchButton")->click();
    EXPECT_EQ(m_messages.shown, (std::vector<Shown>{{"Information", "Search string '  /srv' not found."}}));
}

// Failed runs are the print job's and tested with the main window; here, what this window prints.
TEST_F(AuditFormTest, PrintsTheLinesAsTheViewerShowsThem)
{
    WriteFile(m_tree, "audit.txt", "first\tline\r\nsecond line\r\n");
    Open(m_tree.path("audit.txt"));
    Button("AuditPrintButton")->click();
    EXPECT_EQ(Status(), "Print Successful");
    EXPECT_EQ(PrintedBody(m_printer), (std::vector<std::string>{"first   line", "second line"}));
}

// Which files can come back is the restore command's test; here, what the window runs and shows.
TEST_F(AuditFormTest, RestoreBringsBackTheFilesOfTheChosenLinesCanBeStoppedAndSaysWhatDidNotComeBack)
{
    const LocaleSettings locale = LocaleSettings::usEnglish();
    Trash trash(m_tree.path("data/Trash"), ::getuid());
    std::string log;
    // c.txt's line is longer than the view keeps of a line.
    const std::string deep = std::string(250, 'd') + "/" + std::string(250, 'e') + "/" +
                             std::string(250, 'f') + "/" + std::string(250, 'g') + "/c.txt";
    for (const std::string& name : {std::string("a.txt"), std::string("b.txt"), deep}) {
        WriteFile(m_tree, name, name);
        ASSERT_TRUE(trash.Move(ListedFile::At(m_tree.path(name)), kWhen));
        log += AuditLine(kWhen, m_tree.path(name), locale) + "\r\n";
    }
    log += AuditLine(kWhen, m_tree.path("x.txt"), locale) + " (Restored)\r\nsomething else\r\n";
    WriteFile(m_tree, "program/audit.txt", log);
    m_form.SetProgramDir(m_tree.path("program/"));
    m_form.SetRestoreCommand(RestoreCommand(
        locale, [&] { return trash; }, [&] { return kWhen; }));
    Open(m_tree.path("program/audit.txt"));
    m_form.show();
    m_form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_form));

    // Every line; Esc while the first file comes back leaves the other two.
    std::atomic<bool> reached = false;
    std::atomic<bool> go = false;
    trash.setStepHook([&](std::string_view step) {
        if (step == "restore" && !reached.exchange(true)) {
            while (!go)
                std::this_thread::yield();
        }
    });
    m_form.AuditMemo()->SetHighlight(0, 0, 5, 0, true);
    Button("AuditRestoreButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return reached.load(); }));
    EXPECT_EQ(Status(), "Restoring: 0 of 3");
    EXPECT_FALSE(Button("AuditOpenButton")->isEnabled());
    QTest::keyClick(m_form.AuditMemo(), Qt::Key_Escape);
    go = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_messages.shown.empty(); }));
    EXPECT_EQ(m_messages.shown,
              (std::vector<Shown>{{"Information", "1 file restored.\nStopped: 2 files not tried.\n"
                                                  "Skipped 1 line of files restored before.\n"
                                                  "Skipped 1 line without a deleted file."},
                                  {"Details", ""}}));
    EXPECT_EQ(ReadWholeFile(m_tree.path("a.txt")), "a.txt");
    EXPECT_FALSE(PathExists(m_tree.path("b.txt")));
    // The view shows the log again with the new line, the highlight where it was.
    ASSERT_EQ(m_form.AuditMemo()->LineCount(), 7);
    EXPECT_EQ(m_form.AuditMemo()->Line(5), AuditLine(kWhen, m_tree.path("a.txt"), locale) + " (Restored)");
    EXPECT_EQ(m_form.AuditMemo()->HighlightEnd(), (ViewerPos{5, 0}));
    ExpectViewerControls(true);

    // The caret's line alone, when nothing is highlighted; what cannot come back says why.
    m_messages.shown.clear();
    m_form.AuditMemo()->MoveCaretTo(0, 0, false);
    Action("Restore1")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_messages.shown.empty(); }));
    EXPECT_EQ(m_messages.shown,
              (std::vector<Shown>{
                  {"Information", "0 files restored.\n1 file could not be restored; the details say why."},
                  {"Details", m_tree.path("a.txt") +
                                  ": it is no longer in the trash: the trash was emptied, or it was "
                                  "restored by another program\n"}}));

    m_messages.shown.clear();
    m_form.AuditMemo()->MoveCaretTo(2, 0, false);
    Action("Restore1")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_messages.shown.empty(); }));
    EXPECT_EQ(m_messages.shown.front(), (Shown{"Information", "1 file restored."}));
    EXPECT_EQ(ReadWholeFile(m_tree.path(deep)), deep);

    // A log replaced since it was opened holds other lines than those shown: nothing is tried.
    m_messages.shown.clear();
    WriteFile(m_tree, "program/audit.txt", AuditLine(kWhen, m_tree.path("b.txt"), locale) + "\r\n");
    m_form.AuditMemo()->MoveCaretTo(0, 0, false);
    Action("Restore1")->trigger();
    EXPECT_EQ(Status(), "Audit Report File Changed Since It Was Opened");
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_FALSE(PathExists(m_tree.path("b.txt")));
}

} // namespace
