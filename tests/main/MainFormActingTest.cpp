// SPDX-License-Identifier: GPL-3.0-or-later
// The main window acting on a report: Delete, marks and Undo Delete.
#include "MainWindowTest.h"

namespace {

class MainFormActing : public MainWindowTest
{
protected:
    MainFormActing()
    {
        // Rows: a.txt, a separator, b.txt, c.txt; 1,000, 2,000 and 3,000 bytes.
        AddRow("a.txt", 1000);
        m_form.Table().addSeparatorRow();
        AddRow("b.txt", 2000);
        AddRow("c.txt", 3000);
        List()->resize(500, 200);
        List()->SetNumItems(m_form.Table().LastRow() + 1);
    }

    void AddRow(const std::string& name, std::int64_t size)
    {
        // Listed as it is: Delete moves only the file the report saw.
        m_tree.file("files/" + name, size, 1000000000);
        ResultTable& table = m_form.Table();
        table.appendEntry({.key = {},
                           .name = name,
                           .size = size,
                           .time = 1000000000,
                           .directory = table.addDirectory(m_tree.path("files/"))});
        table.addRow(table.LastEntry());
    }
    std::string File(const std::string& name) const { return m_tree.path("files/" + name); }
    Shown Question(const std::string& name) const
    {
        return {"Question", "Move '" + File(name) + "' to the trash?"};
    }
};

} // namespace

TEST_F(MainFormActing, DeleteTrashesTheSelectedFileLogsItAndShowsTheRowDeleted)
{
    ASSERT_TRUE(ShowActive(m_form));
    List()->SetItemIndex(2);
    Button("DeleteSpeedButton")->click();
    EXPECT_EQ(m_messages.shown, std::vector<Shown>{Question("b.txt")});
    EXPECT_EQ(Logged(), Paths{File("b.txt")});
    EXPECT_TRUE(PathExists(m_tree.path("data/Trash/files/b.txt")));
    EXPECT_EQ(Rows(false), std::vector<int>{2});
    EXPECT_EQ(List()->ItemIndex(), 2);

    // The Delete key on the list runs the same command; lines are appended in order.
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Down);
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_EQ(m_messages.shown.back(), Question("c.txt"));
    EXPECT_EQ(Logged(), (Paths{File("b.txt"), File("c.txt")}));
}

TEST_F(MainFormActing, DeleteDoesNothingOnASeparatorOrWhileAnotherWindowIsActive)
{
    ASSERT_TRUE(ShowActive(m_form));
    // A separator can become current (a drag released outside the list); Delete is off then, and the
    // command itself refuses the row as well.
    List()->SetItemIndex(1);
    EXPECT_FALSE(Button("DeleteSpeedButton")->isEnabled());
    m_form.DeleteSpeedButtonClick();
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_TRUE(m_messages.shown.empty());

    List()->SetItemIndex(0);
    ASSERT_TRUE(ShowActive(m_audit));
    m_form.DeleteSpeedButtonClick();
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_TRUE(PathExists(File("a.txt")));
    m_audit.hide();
}

TEST_F(MainFormActing, ARightClickSelectsTheRowThePopupMenusDeleteActsOn)
{
    ASSERT_TRUE(ShowActive(m_form));
    QTest::mouseClick(List()->viewport(), Qt::RightButton, {}, List()->ItemRect(3).center());
    EXPECT_EQ(List()->ItemIndex(), 3);
    Action("Delete1")->trigger();
    EXPECT_EQ(m_messages.shown, std::vector<Shown>{Question("c.txt")});

    // A separator row is selected as well; below the last row the selection stays.
    QTest::mouseClick(List()->viewport(), Qt::RightButton, {}, List()->ItemRect(1).center());
    EXPECT_EQ(List()->ItemIndex(), 1);
    QTest::mouseClick(List()->viewport(), Qt::RightButton, {}, QPoint(10, List()->viewport()->height() - 2));
    EXPECT_EQ(List()->ItemIndex(), 1);
}

TEST_F(MainFormActing, MarksNeverHoldASeparatorOrADeletedRowAndAreCountedInTheStatusBar)
{
    ASSERT_TRUE(ShowActive(m_form));
    StatusBarPanel* marks = m_form.MarksPanel();
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::ControlModifier, List()->ItemRect(2).center());
    // A plain click and the arrows move the current row only, as without marks.
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, List()->ItemRect(0).center());
    QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(List()->ItemIndex(), 1);
    EXPECT_EQ(Rows(true), std::vector<int>{2});
    EXPECT_TRUE(marks->isVisible());
    EXPECT_EQ(marks->text(), "1 marked (2.0 KB)");
    // On the separator Delete acts on the marks, and there is no group to mark.
    EXPECT_TRUE(Button("DeleteSpeedButton")->isEnabled());
    EXPECT_FALSE(Action("MarkAllInGroup2")->isEnabled());

    m_form.Table().markDeleted(0);
    List()->SetItemIndex(0);
    QTest::keyClick(List(), Qt::Key_Space);
    QTest::keyClick(List(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Rows(true), std::vector<int>{2});
    List()->SetItemIndex(3);
    QTest::keyClick(List(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Rows(true), (std::vector<int>{2, 3}));
    EXPECT_EQ(marks->text(), "2 marked (4.9 KB)");

    Action("UnmarkAll2")->trigger();
    EXPECT_EQ(List()->Marks().Count(), 0);
    EXPECT_FALSE(marks->isVisible());
    EXPECT_FALSE(Action("UnmarkAll1")->isEnabled());
}

TEST_F(MainFormActing, DeleteWithMarksAsksOnceThenMovesAndLogsEachFileAndSaysWhatFailed)
{
    ASSERT_TRUE(ShowActive(m_form));
    List()->SetRangeMarked(0, 3, true);
    m_tree.remove("files/c.txt");
    const Shown question{"Question", "Move 3 marked files (5.9 KB) to the trash?"};
    m_messages.confirmAnswer = false;
    Button("DeleteSpeedButton")->click();
    EXPECT_EQ(m_messages.shown, std::vector<Shown>{question});
    EXPECT_FALSE(m_form.TrashRuns().Running());

    m_messages.shown.clear();
    m_messages.confirmAnswer = true;
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Delete);
    ASSERT_TRUE(Ended());
    EXPECT_EQ(
        m_messages.shown,
        (std::vector<Shown>{question,
                            {"Information", "2 files moved to the trash.\n1 file could not be moved; the "
                                            "details say why."},
                            {"Details", File("c.txt") + ": the file no longer exists\n"}}));
    EXPECT_EQ(Logged(), (Paths{File("a.txt"), File("b.txt")}));
    EXPECT_EQ(Rows(false), (std::vector<int>{0, 2}));
    // What is left to do stays marked.
    EXPECT_EQ(Rows(true), std::vector<int>{3});
    EXPECT_EQ(m_form.MarksPanel()->text(), "1 marked (2.9 KB)");

    // A new report forgets what Undo Delete would bring back.
    EXPECT_TRUE(Action("UndoDelete1")->isEnabled());
    ASSERT_TRUE(m_form.ReportRun().Start(ScanMode::ZeroLength, {File("")}));
    ASSERT_TRUE(Ended());
    EXPECT_FALSE(Action("UndoDelete1")->isEnabled());
}

TEST_F(MainFormActing, UndoDeleteBringsBackTheLastDeleteOnceAndSaysWhatCannotComeBack)
{
    ASSERT_TRUE(ShowActive(m_form));
    Button("DeleteSpeedButton")->click();
    QTest::keyClick(List(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(Ended());
    EXPECT_TRUE(PathExists(File("a.txt")));
    EXPECT_TRUE(Rows(false).empty());
    EXPECT_EQ(Logged().back(), File("a.txt") + " (Restored)");
    EXPECT_EQ(m_messages.shown.size(), 1u); // the question; the row says it came back
    EXPECT_FALSE(Action("UndoDelete1")->isEnabled());

    // Of many, one left the trash meanwhile.
    List()->SetRangeMarked(0, 3, true);
    Button("DeleteSpeedButton")->click();
    ASSERT_TRUE(Ended());
    m_tree.remove("data/Trash/files/a.txt");
    m_messages.shown.clear();
    Action("UndoDelete1")->trigger();
    ASSERT_TRUE(Ended());
    ASSERT_EQ(m_messages.shown.size(), 2u);
    EXPECT_EQ(m_messages.shown[0].text,
              "2 files restored.\n1 file could not be restored; the details say why.");
    EXPECT_TRUE(m_messages.shown[1].text.starts_with(File("a.txt") + ": it is no longer in the trash"));
    EXPECT_EQ(Rows(false), std::vector<int>{0});
    EXPECT_FALSE(Action("UndoDelete1")->isEnabled());
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
    ASSERT_TRUE(ShowActive(m_form));
    List()->SetRangeMarked(0, 3, true);
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
    QTest::keyClick(List(), Qt::Key_Escape);
    gate->Release("rename");
    ASSERT_TRUE(Ended());
    EXPECT_EQ(m_messages.shown.end()[-2],
              (Shown{"Information", "1 file moved to the trash.\nStopped.\n2 files not tried."}));
    EXPECT_EQ(Logged(), Paths{File("a.txt")});
    EXPECT_EQ(Rows(false), std::vector<int>{0});
    EXPECT_EQ(Rows(true), (std::vector<int>{2, 3}));
    EXPECT_FALSE(count->isVisible());

    // A fault of the run: said, and the hourglass goes.
    m_form.TrashRuns().SetTrashRun(
        TrashRun(LocaleSettings::usEnglish(), []() -> Trash { throw std::bad_alloc(); }));
    Button("DeleteSpeedButton")->click();
    ASSERT_TRUE(Ended());
    EXPECT_EQ(m_messages.shown.back().kind, "Error");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Rows(true), (std::vector<int>{2, 3}));

    // The program's end waits for the file at hand to be logged.
    m_form.TrashRuns().SetTrashRun(run);
    ASSERT_TRUE(holdDelete());
    m_form.close();
    gate->Release("rename");
    m_form.TrashRuns().Worker().JoinOrExit(std::chrono::seconds(30), 1);
    EXPECT_EQ(Logged(), (Paths{File("a.txt"), File("b.txt")}));
    EXPECT_TRUE(PathExists(File("c.txt")));
}

// Mark Copies on a real report: each class keeps its newest file still there, also when the newest
// one was deleted after the check.
TEST_F(MainWindowTest, MarkCopiesKeepsTheNewestFileLeftOfEachClass)
{
    Put("one/a.txt", "same", 1000000001);
    Put("two/a.txt", "same", 1000000004);
    Put("two/sub/a.txt", "same", 1000000003);
    Put("two/sub/sub/a.txt", "same", 1000000002);
    Put("one/sub/a.txt", "other");
    ASSERT_TRUE(ShowActive(m_form));
    RunDupes();
    EXPECT_FALSE(Action("MarkCopies2")->isEnabled());
    m_form.CompareContents1Click();
    ASSERT_TRUE(Ended());
    const Paths rows = RowPaths();
    List()->SetItemIndex(std::find(rows.begin(), rows.end(), m_tree.path("two/a.txt")) - rows.begin());
    m_form.DeleteSpeedButtonClick();
    QTest::keyClick(List(), Qt::Key_M, Qt::ControlModifier);
    Paths marked;
    for (int row = List()->Marks().NextMarked(0); row >= 0; row = List()->Marks().NextMarked(row + 1))
        marked.push_back(rows[row]);
    std::sort(marked.begin(), marked.end());
    EXPECT_EQ(marked, (Paths{m_tree.path("one/a.txt"), m_tree.path("two/sub/sub/a.txt")}));

    RunDupes();
    EXPECT_FALSE(Action("MarkCopies2")->isEnabled());
    EXPECT_EQ(List()->Marks().Count(), 0);
}
