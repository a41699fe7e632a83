// SPDX-License-Identifier: GPL-3.0-or-later
// The main window acting on a report: Delete, marks, Undo Delete, Print and the Audit Report command.
#include "audit/TAuditForm.h"
#include "main/ReportRunController.h"
#include "main/TMainForm.h"
#include "main/TrashRunController.h"
#include "platform/DriveProbe.h"
#include "platform/FakeProgramLauncher.h"
#include "platform/PrintDialog.h"
#include "platform/RecordingHelpViewer.h"
#include "platform/RecordingMessageBoxes.h"
#include "platform/RecordingPrinter.h"
#include "widgets/TOvcTextFileViewer.h"
#include "widgets/TOvcVirtualListbox.h"

#include "PrintedText.h"
#include "TempTree.h"
#include "TestFiles.h"
#include "WalkGate.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Shown = RecordingMessageBoxes::Shown;

// The test's tree gives the window its program folder (the current one) and the trash its
// XDG_DATA_HOME, for the life of a test.
class TestFolders
{
public:
    explicit TestFolders(const TempTree& tree)
    {
        ::mkdir(tree.path("program").c_str(), 0755);
        EXPECT_EQ(::chdir(tree.path("program").c_str()), 0);
        if (const char* dataHome = std::getenv("XDG_DATA_HOME"))
            m_dataHome = dataHome;
        ::setenv("XDG_DATA_HOME", tree.path("data").c_str(), 1);
    }
    ~TestFolders()
    {
        EXPECT_EQ(::chdir(m_previous.c_str()), 0);
        if (m_dataHome)
            ::setenv("XDG_DATA_HOME", m_dataHome->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
    }

private:
    std::string m_previous = std::filesystem::current_path();
    std::optional<std::string> m_dataHome;
};

class MainFormActing : public ::testing::Test
{
protected:
    MainFormActing()
    {
        m_form.RunModal = [](QDialog&) { return 0; };
        m_form.SetPrinting(PrintServices{m_printer, m_dialog, {}});
        m_form.SetAuditForm(&m_audit);
        // Rows: a.txt, a separator, b.txt, c.txt; 1,000, 2,000 and 3,000 bytes.
        AddRow("a.txt", 1000);
        m_form.Table().addSeparatorRow();
        AddRow("b.txt", 2000);
        AddRow("c.txt", 3000);
        m_form.ListBox()->resize(500, 200);
        m_form.ListBox()->SetNumItems(m_form.Table().LastRow() + 1);
        // Print comes on once the list has painted a row.
        m_form.ListBox()->viewport()->grab();
    }

    void AddRow(const std::string& name, std::int64_t size)
    {
        // Listed as it is: Delete moves only the file the report saw.
        m_tree.file("files/" + name, size, 1000000000);
        ResultTable& table = m_form.Table();
        entrytype entry;
        entry.directory = table.addDirectory(m_tree.path("files/"));
        entry.name = name;
        entry.size = size;
        entry.time = 1000000000;
        table.appendEntry(entry);
        table.addRow(table.LastEntry());
    }

    bool ShowAndActivate(QWidget& window)
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

    QToolButton* Button(const char* name) const
    {
        return m_form.findChild<QToolButton*>(QString::fromLatin1(name));
    }
    QAction* Action(const char* name) const { return m_form.findChild<QAction*>(QString::fromLatin1(name)); }
    std::string Log() const { return ReadWholeFile(m_tree.path("program/audit.txt")); }
    // What each audit line says after its date and time.
    std::vector<std::string> Logged() const
    {
        std::vector<std::string> logged;
        const std::string log = Log();
        for (std::size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos;
             start = end + 2)
            logged.push_back(log.substr(log.find("  ", start) + 2, end - log.find("  ", start) - 2));
        return logged;
    }
    // The rows the list shows deleted, or marked.
    std::vector<int> Rows(bool marked)
    {
        std::vector<int> rows;
        for (int row = 0; row < m_form.ListBox()->NumItems(); ++row)
            if (marked ? m_form.ListBox()->IsMarked(row)
                       : m_form.ListBox()->ItemText(row).endsWith(" (Deleted)"))
                rows.push_back(row);
        return rows;
    }
    bool RunEnded()
    {
        return QTest::qWaitFor([this] { return !m_form.TrashRuns().Running(); }, 30000);
    }
    std::string Question(const std::string& name) const
    {
        return "Move '" + m_tree.path("files/" + name) + "' to the trash?";
    }

    TempTree m_tree;
    TestFolders m_folders{m_tree};
    FixedDriveProbe m_drives{{"/"}};
    RecordingMessageBoxes m_messages;
    FakeProgramLauncher m_launcher;
    RecordingHelpViewer m_help;
    RecordingPrinter m_printer;
    FakePrintDialog m_dialog;
    TMainForm m_form{MainServices{m_drives, m_messages, m_launcher, m_help, LocaleSettings::usEnglish()}};
    TAuditForm m_audit{m_messages, m_help, PrintServices{m_printer, m_dialog, {}},
                       LocaleSettings::usEnglish()};
};

TEST_F(MainFormActing, DeleteTrashesTheSelectedFileLogsItAndShowsTheRowDeleted)
{
    ASSERT_TRUE(ShowAndActivate(m_form));
    TOvcVirtualListbox* list = m_form.ListBox();
    list->SetItemIndex(2);
    Button("DeleteSpeedButton")->click();
    EXPECT_EQ(m_messages.shown, (std::vector<Shown>{{"Question", Question("b.txt")}}));
    EXPECT_TRUE(Log().ends_with("  " + m_tree.path("files/b.txt") + "\r\n")) << Log();
    EXPECT_TRUE(list->ItemText(2).endsWith(" (Deleted)"));
    // The command changes no enabled state: the row stays selected and Delete stays on.
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_TRUE(Button("DeleteSpeedButton")->isEnabled());

    // The Delete key on the list runs the same command; lines are appended in order.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(list->ItemIndex(), 3);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(m_messages.shown.back(), (Shown{"Question", Question("c.txt")}));
    const std::string log = Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);
    EXPECT_TRUE(log.ends_with("  " + m_tree.path("files/c.txt") + "\r\n")) << log;

    // Deleting a row twice, through the File menu this time, is an error.
    m_messages.shown.clear();
    Action("DeleteFile1")->trigger();
    EXPECT_EQ(m_messages.shown,
              (std::vector<Shown>{{"beep", ""},
                                  {"Error", "You have selected a file that has already been deleted."}}));
}

TEST_F(MainFormActing, DeleteDoesNothingOnASeparatorOrWhileAnotherWindowIsActive)
{
    ASSERT_TRUE(ShowAndActivate(m_form));
    // A separator can become current (a drag released outside the list); Delete is off then, and the
    // command itself refuses the row as well.
    m_form.ListBox()->SetItemIndex(1);
    EXPECT_FALSE(Button("DeleteSpeedButton")->isEnabled());
    m_form.DeleteSpeedButtonClick();
    m_form.ListBox()->setFocus();
    QTest::keyClick(m_form.ListBox(), Qt::Key_Delete);
    EXPECT_TRUE(m_messages.shown.empty());

    m_form.ListBox()->SetItemIndex(0);
    ASSERT_TRUE(ShowAndActivate(m_audit));
    m_form.DeleteSpeedButtonClick();
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_FALSE(PathExists(m_tree.path("program/audit.txt")));
    EXPECT_TRUE(PathExists(m_tree.path("files/a.txt")));
    m_audit.hide();
}

TEST_F(MainFormActing, ARightClickSelectsTheRowThePopupMenusDeleteActsOn)
{
    ASSERT_TRUE(ShowAndActivate(m_form));
    TOvcVirtualListbox* list = m_form.ListBox();
    ASSERT_EQ(list->ItemIndex(), 0);
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->ItemRect(3).center());
    EXPECT_EQ(list->ItemIndex(), 3);
    EXPECT_TRUE(Action("Delete1")->isEnabled());
    Action("Delete1")->trigger();
    EXPECT_EQ(m_messages.shown, (std::vector<Shown>{{"Question", Question("c.txt")}}));

    // On the separator the menu's Delete is off; below the last row the selection stays.
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->ItemRect(1).center());
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_FALSE(Action("Delete1")->isEnabled());
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, QPoint(10, list->viewport()->height() - 2));
    EXPECT_EQ(list->ItemIndex(), 1);
}

TEST_F(MainFormActing, CtrlAOpensTheAuditReportFromEveryControl)
{
    QLineEdit* mask = m_form.MaskComboBox()->lineEdit();
    const std::vector<QWidget*> controls = {mask, m_form.DrivesEdit(), m_form.ListBox()};
    const QString log = QString::fromStdString(m_tree.path("program/audit.txt"));
    for (QWidget* control : controls) {
        ASSERT_TRUE(ShowAndActivate(m_form));
        control->setFocus();
        QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
        EXPECT_TRUE(m_audit.isVisible()) << control->objectName().toStdString();
        EXPECT_EQ(m_audit.AuditFileNameEdit()->text(), log);
        m_audit.hide();
    }
    // The fields did not take the key for themselves.
    EXPECT_FALSE(mask->hasSelectedText());
    EXPECT_FALSE(m_form.DrivesEdit()->hasSelectedText());
    EXPECT_EQ(m_audit.ProgramDir(), m_tree.path("program/"));
}

TEST_F(MainFormActing, TheAuditReportShowsADeletionAndKeepsItsViewWhenShownAgain)
{
    ASSERT_TRUE(ShowAndActivate(m_form));
    Button("DeleteSpeedButton")->click();
    Action("ViewAuditReport1")->trigger();
    ASSERT_TRUE(m_audit.isVisible());
    m_audit.findChild<QToolButton*>(QStringLiteral("AuditOpenButton"))->click();
    EXPECT_EQ(m_audit.StatusPanel()->text(), "Audit Report Displayed Successfully");
    EXPECT_EQ(std::string(m_audit.AuditMemo()->Line(0)) + "\r\n", Log());

    m_audit.AuditSearchEdit()->setText(QStringLiteral("a.txt"));
    m_audit.AuditFileNameEdit()->setText(QStringLiteral("/elsewhere.txt"));
    ASSERT_TRUE(ShowAndActivate(m_form));
    Action("ViewAuditReport1")->trigger();
    EXPECT_EQ(m_audit.AuditFileNameEdit()->text().toStdString(), m_tree.path("program/audit.txt"));
    EXPECT_TRUE(m_audit.AuditMemo()->IsOpen());
    EXPECT_EQ(m_audit.AuditSearchEdit()->text(), "a.txt");
    m_audit.hide();
}

TEST_F(MainFormActing, PrintPrintsTheRowsAsTheListShowsThem)
{
    m_form.Table().markDeleted(0);
    QLabel* status = m_form.StatusPanel(1);
    status->setText(QStringLiteral("before"));
    m_dialog.answer = false;
    ASSERT_TRUE(ShowAndActivate(m_form));
    QTest::keyClick(m_form.ListBox(), Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(m_dialog.timesShown, 1);
    EXPECT_TRUE(m_printer.records().empty());
    EXPECT_EQ(status->text(), "before");

    m_dialog.answer = true;
    m_printer.setInstalled(false);
    Button("PrintSpeedButton")->click();
    EXPECT_EQ(m_messages.shown, (std::vector<Shown>{{"Error", "Error while printing."}}));
    EXPECT_EQ(status->text(), "Printing Error");

    m_printer.setInstalled(true);
    Button("PrintSpeedButton")->click();
    EXPECT_EQ(status->text(), "Print Successful");
    const ResultTable& table = m_form.Table();
    EXPECT_EQ(PrintedBody(m_printer),
              (std::vector<std::string>{table.RowTexts(0), table.RowTexts(2), table.RowTexts(3)}));
    EXPECT_TRUE(table.RowTexts(0).ends_with(" (Deleted)"));
    // The separator row is a blank line: row 2 stands two lines below row 0.
    std::vector<int> ys;
    for (const PrintRecord& text : m_printer.texts())
        if (text.text.find(m_tree.path("files/")) != std::string::npos)
            ys.push_back(text.y);
    ASSERT_EQ(ys.size(), 3u);
    EXPECT_EQ(ys[1] - ys[0], 2 * (ys[2] - ys[1]));
    EXPECT_EQ(m_printer.font().size(), 11); // the list's 15 pixels at 96 per inch
}

TEST_F(MainFormActing, MarksNeverHoldASeparatorOrADeletedRowAndAreCountedInTheStatusBar)
{
    ASSERT_TRUE(ShowAndActivate(m_form));
    TOvcVirtualListbox* list = m_form.ListBox();
    StatusBarPanel* marks = m_form.MarksPanel();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, list->ItemRect(2).center());
    // A plain click and the arrows move the current row only, as without marks.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->ItemRect(0).center());
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(Rows(true), std::vector<int>{2});
    EXPECT_TRUE(marks->isVisible());
    EXPECT_EQ(marks->text(), "1 marked (2.0 KB)");
    // On the separator Delete acts on the marks, and there is no group to mark.
    EXPECT_TRUE(Button("DeleteSpeedButton")->isEnabled());
    EXPECT_FALSE(Action("MarkAllInGroup2")->isEnabled());

    m_form.Table().markDeleted(0);
    list->SetItemIndex(0);
    QTest::keyClick(list, Qt::Key_Space);
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Rows(true), std::vector<int>{2});
    list->SetItemIndex(3);
    QTest::keyClick(list, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Rows(true), (std::vector<int>{2, 3}));
    EXPECT_EQ(marks->text(), "2 marked (4.9 KB)");

    Action("UnmarkAll2")->trigger();
    EXPECT_EQ(list->Marks().Count(), 0);
    EXPECT_FALSE(marks->isVisible());
    EXPECT_FALSE(Action("UnmarkAll1")->isEnabled());
}

TEST_F(MainFormActing, DeleteWithMarksAsksOnceThenMovesAndLogsEachFileAndSaysWhatFailed)
{
    ASSERT_TRUE(ShowAndActivate(m_form));
    TOvcVirtualListbox* list = m_form.ListBox();
    list->SetRangeMarked(0, 3, true);
    m_tree.remove("files/c.txt");
    const std::string question = "Move 3 marked files (5.9 KB) to the trash?";
    m_messages.confirmAnswer = false;
    Button("DeleteSpeedButton")->click();
    EXPECT_EQ(m_messages.shown, (std::vector<Shown>{{"Question", question}}));
    EXPECT_FALSE(m_form.TrashRuns().Running());

    m_messages.shown.clear();
    m_messages.confirmAnswer = true;
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Delete);
    ASSERT_TRUE(RunEnded());
    EXPECT_EQ(
        m_messages.shown,
        (std::vector<Shown>{{"Question", question},
                            {"Information", "2 files moved to the trash.\n1 file could not be moved; the "
                                            "details say why."},
                            {"Details", m_tree.path("files/c.txt") + ": the file no longer exists\n"}}));
    EXPECT_EQ(Logged(), (std::vector<std::string>{m_tree.path("files/a.txt"), m_tree.path("files/b.txt")}));
    EXPECT_TRUE(PathExists(m_tree.path("data/Trash/files/b.txt")));
    EXPECT_EQ(Rows(false), (std::vector<int>{0, 2}));
    // What is left to do stays marked.
    EXPECT_EQ(Rows(true), std::vector<int>{3});
    EXPECT_EQ(m_form.MarksPanel()->text(), "1 marked (2.9 KB)");

    // A new report forgets what Undo Delete would bring back.
    EXPECT_TRUE(Action("UndoDelete1")->isEnabled());
    ASSERT_TRUE(m_form.ReportRun().Start(ScanMode::ZeroLength, {m_tree.path("files/")}));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !m_form.ReportRun().Running(); }, 30000));
    EXPECT_FALSE(Action("UndoDelete1")->isEnabled());
}

TEST_F(MainFormActing, UndoDeleteBringsBackTheLastDeleteOnceAndSaysWhatCannotComeBack)
{
    ASSERT_TRUE(ShowAndActivate(m_form));
    TOvcVirtualListbox* list = m_form.ListBox();
    QAction* undo = Action("UndoDelete1");
    EXPECT_FALSE(undo->isEnabled());
    Button("DeleteSpeedButton")->click();
    ASSERT_TRUE(undo->isEnabled());
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(RunEnded());
    EXPECT_TRUE(PathExists(m_tree.path("files/a.txt")));
    EXPECT_TRUE(Rows(false).empty());
    EXPECT_EQ(Logged().back(), m_tree.path("files/a.txt") + " (Restored)");
    EXPECT_EQ(m_messages.shown.size(), 1u); // the question; the row says it came back
    EXPECT_FALSE(undo->isEnabled());

    // Of many: one left the trash, another's place is taken.
    list->SetRangeMarked(0, 3, true);
    Button("DeleteSpeedButton")->click();
    ASSERT_TRUE(RunEnded());
    m_tree.remove("data/Trash/files/a.txt");
    m_tree.file("files/b.txt");
    m_messages.shown.clear();
    undo->trigger();
    ASSERT_TRUE(RunEnded());
    ASSERT_EQ(m_messages.shown.size(), 2u);
    EXPECT_EQ(m_messages.shown[0].text,
              "1 file restored.\n2 files could not be restored; the details say why.");
    EXPECT_TRUE(
        m_messages.shown[1].text.starts_with(m_tree.path("files/a.txt") + ": it is no longer in the trash"));
    EXPECT_NE(m_messages.shown[1].text.find("\n" + m_tree.path("files/b.txt") + ": "), std::string::npos);
    EXPECT_EQ(Rows(false), (std::vector<int>{0, 2}));
    EXPECT_FALSE(undo->isEnabled());
}

TEST_F(MainFormActing, EscOrClosingTheWindowStopsTheRunAfterTheFileAtHand)
{
    const auto gate = std::make_shared<WalkGate>();
    TrashRun run(LocaleSettings::usEnglish(), [gate] {
        Trash trash = Trash::ForCurrentUser();
        trash.setStepHook([gate](std::string_view step) { gate->Arrive(std::string(step)); });
        return trash;
    });
    run.setMaxGroup(1);
    m_form.TrashRuns().SetTrashRun(run);
    ASSERT_TRUE(ShowAndActivate(m_form));
    TOvcVirtualListbox* list = m_form.ListBox();
    list->SetRangeMarked(0, 3, true);
    const auto holdDelete = [&] {
        gate->HoldAt("rename");
        Button("DeleteSpeedButton")->click();
        return QTest::qWaitFor([&] { return gate->Arrived("rename"); }, 30000);
    };
    ASSERT_TRUE(holdDelete());
    StatusBarPanel* count = m_form.TrashRuns().CountPanel();
    EXPECT_TRUE(count->isVisible());
    EXPECT_EQ(count->text(), "Deleting: 0 of 3");
    EXPECT_FALSE(m_form.MarksPanel()->isVisible());
    m_form.UnmarkAll1Click(); // no other command meanwhile
    QTest::keyClick(list, Qt::Key_Escape);
    gate->Release("rename");
    ASSERT_TRUE(RunEnded());
    EXPECT_EQ(m_messages.shown.end()[-2],
              (Shown{"Information", "1 file moved to the trash.\nStopped.\n2 files not tried."}));
    EXPECT_EQ(Logged(), std::vector<std::string>{m_tree.path("files/a.txt")});
    EXPECT_EQ(Rows(false), std::vector<int>{0});
    EXPECT_EQ(Rows(true), (std::vector<int>{2, 3}));
    EXPECT_FALSE(count->isVisible());

    // A fault of the run: said, and the hourglass goes.
    m_form.TrashRuns().SetTrashRun(
        TrashRun(LocaleSettings::usEnglish(), []() -> Trash { throw std::bad_alloc(); }));
    Button("DeleteSpeedButton")->click();
    ASSERT_TRUE(RunEnded());
    EXPECT_EQ(m_messages.shown.back().kind, "Error");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Rows(true), (std::vector<int>{2, 3}));

    // The program's end waits for the file at hand to be logged.
    m_form.TrashRuns().SetTrashRun(run);
    ASSERT_TRUE(holdDelete());
    m_form.close();
    gate->Release("rename");
    m_form.TrashRuns().Worker().JoinOrExit(std::chrono::seconds(30), 1);
    EXPECT_EQ(Logged(), (std::vector<std::string>{m_tree.path("files/a.txt"), m_tree.path("files/b.txt")}));
    EXPECT_TRUE(PathExists(m_tree.path("files/c.txt")));
}

} // namespace
