// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TAuditForm.h"
#include "audit/AuditLog.h"
#include "platform/PrintDialog.h"
#include "platform/RecordingHelpViewer.h"
#include "platform/RecordingMessageBoxes.h"
#include "platform/RecordingPrinter.h"
#include "widgets/TOvcTextFileViewer.h"

#include "PrintedText.h"
#include "TempTree.h"
#include "TestFiles.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
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

    void WriteFile(const std::string& relative, const std::string& text)
    {
        m_tree.file(relative);
        std::ofstream(m_tree.path(relative), std::ios::binary) << text;
    }

    void Open(const std::string& path)
    {
        m_form.SetFileName(path);
        Button("AuditOpenButton")->click();
    }

    // Print, Restore, the search label and field follow the viewer; Search follows its text as well.
    void ExpectViewerControls(bool enabled, bool search)
    {
        EXPECT_EQ(Button("AuditPrintButton")->isEnabled(), enabled);
        EXPECT_EQ(Action("Print1")->isEnabled(), enabled);
        EXPECT_EQ(Button("AuditRestoreButton")->isEnabled(), enabled);
        EXPECT_EQ(Action("Restore1")->isEnabled(), enabled);
        EXPECT_EQ(m_form.findChild<QLabel*>(QStringLiteral("AuditSearchLabel"))->isEnabled(), enabled);
        EXPECT_EQ(m_form.AuditSearchEdit()->isEnabled(), enabled);
        EXPECT_EQ(Button("AuditSearchButton")->isEnabled(), search);
        for (const char* always : {"AuditOpenButton", "AuditHelpButton"})
            EXPECT_TRUE(Button(always)->isEnabled()) << always;
        EXPECT_TRUE(m_form.AuditFileNameEdit()->isEnabled());
    }

    TempTree m_tree;
    RecordingMessageBoxes m_messages;
    RecordingHelpViewer m_help;
    RecordingPrinter m_printer;
    FakePrintDialog m_dialog;
    TAuditForm m_form{m_messages, m_help, PrintServices{m_printer, m_dialog, {}},
                      LocaleSettings::usEnglish()};
};

TEST_F(AuditFormTest, MenusInTheFontOfTheirBarAndStartingStates)
{
    for (QAction* menu : m_form.menuBar()->actions())
        EXPECT_EQ(menu->menu()->font(), m_form.menuBar()->font())
            << "drop-downs in the 8 points of their bar";
    ExpectViewerControls(false, false);
}

TEST_F(AuditFormTest, OpenShowsTheFileOrSaysItWasNotFoundAndRefusesFifosAndDevices)
{
    Open(m_tree.path("audit.txt"));
    EXPECT_EQ(Status(), "Audit Report File Empty Or Not Found");
    EXPECT_FALSE(m_form.AuditMemo()->IsOpen());
    ExpectViewerControls(false, false);

    // In a folder whose name is not UTF-8, as a program folder may be; blanks and control characters
    // around the name do not count.
    WriteFile("caf\xe9/audit.txt", "3/7/26 2:05:09 PM  /tmp/a.tmp\r\n3/7/26 2:06:00 PM  /tmp/b.tmp\r\n");
    Open("  " + m_tree.path("caf\xe9/audit.txt") + "\t");
    EXPECT_EQ(Status(), "Audit Report Displayed Successfully");
    EXPECT_EQ(m_form.AuditMemo()->LineCount(), 3);
    EXPECT_EQ(m_form.AuditMemo()->Line(1), "3/7/26 2:06:00 PM  /tmp/b.tmp");
    ExpectViewerControls(true, false);

    // Search follows its text: blanks alone are nothing to look for.
    m_form.AuditSearchEdit()->setText(QStringLiteral("   "));
    ExpectViewerControls(true, false);
    m_form.AuditSearchEdit()->setText(QStringLiteral(" x"));
    ExpectViewerControls(true, true);

    // A failed Open empties the view and switches everything back off; a FIFO, a device or a folder
    // is refused at once instead of hanging.
    m_tree.fifo("fifo.txt");
    for (const std::string& path :
         {m_tree.path("missing.txt"), m_tree.path("fifo.txt"), std::string("/dev/zero"), m_tree.root()}) {
        Open(path);
        EXPECT_EQ(Status(), "Audit Report File Empty Or Not Found") << path;
        EXPECT_EQ(m_form.AuditMemo()->LineCount(), 0);
        ExpectViewerControls(false, false);
    }

    // An empty file is a file.
    WriteFile("empty.txt", "");
    Open(m_tree.path("empty.txt"));
    EXPECT_EQ(Status(), "Audit Report Displayed Successfully");
    ExpectViewerControls(true, false);
}

// Stepping through the matches is the viewer's; here, what the window asks and says.
TEST_F(AuditFormTest, SearchLooksForTheTextAsTypedAndSaysWhenItIsNotFound)
{
    WriteFile("audit.txt", "1/2/26 9:00:00 AM  /var/\xc3\x84pfel/a.log\r\n1/2/26 9:01:00 AM  /srv/b.log\r\n");
    Open(m_tree.path("audit.txt"));
    m_form.AuditSearchEdit()->setText(QStringLiteral("\u00e4pfel"));
    Button("AuditSearchButton")->click();
    EXPECT_EQ(m_form.AuditMemo()->HighlightStart(), (ViewerPos{0, 24}));

    // Blanks included; Enter in the field searches too, but not for blanks alone.
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

TEST_F(AuditFormTest, FileNameFieldBrowseAndHelp)
{
    m_form.AuditFileNameEdit()->setText(QStringLiteral("x"));
    EXPECT_TRUE(Button("AuditOpenButton")->isEnabled());
    m_form.AuditFileNameEdit()->setText(QStringLiteral(" \t"));
    EXPECT_FALSE(Button("AuditOpenButton")->isEnabled());

    auto* browse = m_form.findChild<QPushButton*>(QStringLiteral("AuditBrowseButton"));
    m_form.PickFile = [] { return QString(); };
    browse->click();
    EXPECT_EQ(m_form.AuditFileNameEdit()->text(), " \t");
    m_form.PickFile = [] { return QStringLiteral("/var/log/picked.txt"); };
    browse->click();
    EXPECT_EQ(m_form.AuditFileNameEdit()->text(), "/var/log/picked.txt");
    EXPECT_TRUE(Button("AuditOpenButton")->isEnabled());
    EXPECT_FALSE(m_form.AuditMemo()->IsOpen());

    m_form.SetProgramDir("/opt/lintwick/");
    Button("AuditHelpButton")->click();
    Action("HelpTopics1")->trigger();
    EXPECT_EQ(m_help.requests,
              (std::vector<std::string>{"Contents /opt/lintwick/Lintwick.hlp", "JumpID SCRIBBLE40",
                                        "Contents /opt/lintwick/Lintwick.hlp", "JumpID SCRIBBLE40"}));
}

TEST_F(AuditFormTest, PrintsTheViewersLinesAndRecoversFromAFailedRun)
{
    WriteFile("audit.txt", "first\tline\r\nsecond line\r\n");
    Open(m_tree.path("audit.txt"));

    m_dialog.answer = false;
    Button("AuditPrintButton")->click();
    EXPECT_TRUE(m_printer.records().empty());
    EXPECT_EQ(Status(), "Audit Report Displayed Successfully");

    // The printer refuses the job at its end: the document is dropped and the next run can begin.
    m_dialog.answer = true;
    m_printer.setEndDocFails(true);
    Action("Print1")->trigger();
    EXPECT_EQ(m_messages.shown, (std::vector<Shown>{{"Error", "Error while printing."}}));
    EXPECT_EQ(Status(), "Printing Error");
    EXPECT_FALSE(m_printer.printing());

    m_printer.setEndDocFails(false);
    m_printer.clearRecords();
    Button("AuditPrintButton")->click();
    EXPECT_EQ(Status(), "Print Successful");
    // The lines as the viewer gives them for printing: tabs expanded. (Its closing empty line only
    // advances the paper.)
    EXPECT_EQ(PrintedBody(m_printer), (std::vector<std::string>{"first   line", "second line"}));
    EXPECT_EQ(m_printer.font().size(), 10);
}

TEST_F(AuditFormTest, RestoreBringsBackTheFilesOfTheChosenLinesCanBeStoppedAndSaysWhatDidNotComeBack)
{
    // Deletions logged as the Delete command logs them; the logged time finds each file in the trash.
    const LocalDateTime when{2026, 3, 7, 14, 5, 9, 6};
    const LocaleSettings locale = LocaleSettings::usEnglish();
    Trash trash(m_tree.path("data/Trash"), ::getuid());
    std::string log;
    for (const char* name : {"a.txt", "b.txt", "c.txt", "taken.txt", "gone/d.txt", "emptied.txt"}) {
        WriteFile(name, name);
        ASSERT_TRUE(trash.Move(ListedFile::At(m_tree.path(name)), when));
        log += AuditLine(when, m_tree.path(name), locale) + "\r\n";
    }
    WriteFile("taken.txt", "new");
    ASSERT_EQ(::rmdir(m_tree.path("gone").c_str()), 0);
    m_tree.remove("data/Trash/files/emptied.txt");
    log += AuditLine(when, m_tree.path("x.txt"), locale) + " (Restored)\r\nsomething else\r\n";
    WriteFile("program/audit.txt", log);
    m_form.SetProgramDir(m_tree.path("program/"));
    m_form.SetRestoreCommand(RestoreCommand(
        locale, [&] { return trash; }, [&] { return when; }));
    Open(m_tree.path("program/audit.txt"));
    m_form.show();
    m_form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_form));

    // The first three lines; Esc while the first file comes back leaves the other two.
    std::atomic<bool> reached = false;
    std::atomic<bool> go = false;
    trash.setStepHook([&](std::string_view step) {
        if (step == "restore" && !reached.exchange(true)) {
            while (!go)
                std::this_thread::yield();
        }
    });
    m_form.AuditMemo()->SetHighlight(0, 0, 3, 0, true);
    Button("AuditRestoreButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return reached.load(); }));
    EXPECT_EQ(Status(), "Restoring: 0 of 3");
    EXPECT_FALSE(Button("AuditOpenButton")->isEnabled());
    QTest::keyClick(m_form.AuditMemo(), Qt::Key_Escape);
    go = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_messages.shown.empty(); }));
    EXPECT_EQ(m_messages.shown,
              (std::vector<Shown>{{"Information", "1 file restored.\nStopped: 2 files not tried."},
                                  {"Details", ""}}));
    EXPECT_EQ(ReadWholeFile(m_tree.path("a.txt")), "a.txt");
    EXPECT_FALSE(PathExists(m_tree.path("b.txt")));
    // The view shows the log again with the new line, the highlight where it was.
    ASSERT_EQ(m_form.AuditMemo()->LineCount(), 10);
    EXPECT_EQ(m_form.AuditMemo()->Line(8), AuditLine(when, m_tree.path("a.txt"), locale) + " (Restored)");
    EXPECT_EQ(m_form.AuditMemo()->HighlightEnd(), (ViewerPos{3, 0}));
    ExpectViewerControls(true, false);

    // Every line: the one just restored and the other restored one are skipped, and so is what is
    // not an audit line; each file that cannot come back says why.
    m_messages.shown.clear();
    m_form.AuditMemo()->SetHighlight(0, 0, 9, 0, true);
    Action("Restore1")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_messages.shown.empty(); }));
    EXPECT_EQ(m_messages.shown,
              (std::vector<Shown>{
                  {"Information", "2 files restored.\n4 files could not be restored; the details say why.\n"
                                  "Skipped 2 lines of files restored before.\n"
                                  "Skipped 1 line without a deleted file."},
                  {"Details",
                   m_tree.path("a.txt") +
                       ": it is no longer in the trash: the trash was emptied, or it was "
                       "restored by another program\n" +
                       m_tree.path("taken.txt") + ": another file of that name stands in its place\n" +
                       m_tree.path("gone/d.txt") + ": the folder '" + m_tree.path("gone") +
                       "' no longer exists, and it is not made again\n" + m_tree.path("emptied.txt") +
                       ": it is no longer in the trash: the trash was emptied, or it was restored by another "
                       "program\n"}}));
    EXPECT_EQ(ReadWholeFile(m_tree.path("c.txt")), "c.txt");
    EXPECT_EQ(ReadWholeFile(m_tree.path("taken.txt")), "new");

    // The caret's line alone, when nothing is highlighted.
    m_messages.shown.clear();
    m_form.AuditMemo()->MoveCaretTo(7, 0, false);
    Button("AuditRestoreButton")->click();
    EXPECT_EQ(m_messages.shown.at(0).text, "0 files restored.\nSkipped 1 line without a deleted file.");
}

} // namespace
