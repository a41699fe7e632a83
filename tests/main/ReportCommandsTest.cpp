// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's reports: the three runs, their stop and fault, the drives and the mask, and
// Compare Contents.
#include "MainWindowTest.h"

#include "dialogs/TSpinEdit.h"
#include "scan/RowForms.h"

#include "PrintedText.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <map>
#include <stdexcept>

namespace {

using Classes = std::map<std::string, std::string>;

// Each row's path and its class as a row text gives them: the class column right of the size, the path
// after it.
Classes ClassesIn(int rows, const std::function<QString(int row)>& rowText)
{
    Classes classes;
    for (int row = 0; row < rows; ++row) {
        const std::string text = rowText(row).toStdString();
        if (!text.empty())
            classes[text.substr(46)] = text.substr(39, text.find_first_of(' ', 39) - 39);
    }
    return classes;
}

} // namespace

TEST_F(MainWindowTest, DuplicatesRunShowsItsProgressTakesNoCommandThenShowsTheGroups)
{
    for (const char* name :
         {"one/K.txt", "one/L.txt", "one/sub/M.dat", "two/k.TXT", "two/M.dat", "two/sub/m.DAT"})
        m_tree.file(name);
    ASSERT_TRUE(ShowActive(m_form));
    m_modals.clear();
    m_gate->HoldAt(m_tree.path("two/"));
    QTest::mouseClick(Button("DupesSpeedButton"), Qt::LeftButton);
    EXPECT_EQ(m_messages.shown,
              (std::vector<Shown>{{"Confirm", "Run report searching for duplicate filenames?"}}));
    ASSERT_TRUE(WaitArrived(m_tree.path("two/")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Panel1() == "Dusting: " + m_tree.path("two/"); }));
    StatusBarPanel* files = m_form.ReportRun().FilesPanel();
    EXPECT_TRUE(QTest::qWaitFor([&] { return files->isVisible() && files->text() == "3 files"; }));
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_FALSE(Button("PrintSpeedButton")->isEnabled());

    // No command reaches its handler meanwhile: not by mouse, shortcut or menu, nor called directly,
    // nor by a screen reader's press, which reaches buttons, menu items and links without any input.
    const auto shown = m_messages.shown;
    QTest::mouseClick(Button("ZeroSpeedButton"), Qt::LeftButton);
    QTest::keyClick(&m_form, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(&m_form, Qt::Key_T, Qt::ControlModifier);
    m_form.SizeSpeedButtonClick();
    m_form.ZeroLengthFiles1Click();
    m_form.DrivesSpeedButtonClick();
    for (QAction* action : m_form.findChildren<QAction*>()) {
        if (!action->objectName().isEmpty() && action->objectName() != "Exit1")
            action->trigger();
    }
    for (QToolButton* button : m_form.findChildren<QToolButton*>()) {
        if (button->objectName().endsWith("SpeedButton"))
            button->click();
    }
    for (const char* link : {"Label1", "Label4"}) {
        QAccessibleInterface* face =
            QAccessible::queryAccessibleInterface(m_form.findChild<QLabel*>(QString::fromLatin1(link)));
        ASSERT_TRUE(face && face->actionInterface()) << link;
        face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    }
    EXPECT_TRUE(m_help.requests.empty());
    EXPECT_TRUE(m_launcher.calls.empty());
    EXPECT_EQ(m_messages.shown, shown);
    EXPECT_EQ(m_modals, (Paths{"TipForm"})); // the first report command's tip, not the window's
    EXPECT_TRUE(m_form.ReportRun().Running());
    m_gate->Release(m_tree.path("two/"));

    ASSERT_TRUE(Ended());
    EXPECT_EQ(Panel1(), "Dust Complete: 2 Groups Found");
    EXPECT_EQ(List()->NumItems(), 6);
    EXPECT_EQ(RowPaths()[2], "-");
    EXPECT_EQ(List()->ItemIndex(), 0);
    EXPECT_TRUE(Button("DeleteSpeedButton")->isEnabled());
    EXPECT_FALSE(files->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    List()->viewport()->grab(); // Print comes on once the list has painted a row
    EXPECT_TRUE(Button("PrintSpeedButton")->isEnabled());
}

TEST_F(MainWindowTest, SizeReportTakesTheDialogsThresholdOnOkOnlyAndZeroLengthReportAsks)
{
    m_tree.file("one/a.bin", 1023999);
    m_tree.file("one/b.bin", 1024000);
    m_tree.file("two/empty.log", 0);
    m_answers["SizeForm"] = [this] {
        EXPECT_EQ(m_sizeForm.ProgramDir(), m_form.ProgramDir());
        m_sizeForm.UnitButton(0)->click();
        m_sizeForm.SizeFilterSpinEdit()->findChild<QLineEdit*>()->setText(QStringLiteral("1000"));
        return int(QDialog::Accepted);
    };
    Button("SizeSpeedButton")->click();
    ASSERT_TRUE(Ended());
    EXPECT_EQ(RowPaths(), Paths{m_tree.path("one/b.bin")});
    EXPECT_EQ(Panel1(), "Dust Complete: 1 Found");
    m_answers["SizeForm"] = [] { return int(QDialog::Rejected); };
    m_form.SizeReport1Click();
    EXPECT_FALSE(m_form.ReportRun().Running());

    Button("ZeroSpeedButton")->click();
    ASSERT_TRUE(Ended());
    EXPECT_EQ(m_messages.shown.back(), (Shown{"Confirm", "Run report searching for zero-length files?"}));
    EXPECT_EQ(RowPaths(), Paths{m_tree.path("two/empty.log")});
}

TEST_F(MainWindowTest, EscStopsTheRunWhoseFindingsBecomeTheReportWhichACancelOrABlankMaskKeeps)
{
    for (const char* name :
         {"one/A.txt", "one/sub/a.txt", "one/sub/c.txt", "two/sub/B.txt", "two/sub2/b.txt", "two/sub2/C.txt"})
        m_tree.file(name);
    RunDupes();
    EXPECT_EQ(Panel1(), "Dust Complete: 3 Groups Found");
    ASSERT_TRUE(ShowActive(m_form));
    m_gate->HoldAt(m_tree.path("two/"));
    Button("DupesSpeedButton")->click();
    ASSERT_TRUE(WaitArrived(m_tree.path("two/")));
    // Nothing of the old report is left to show while the new one is built.
    EXPECT_EQ(List()->NumItems(), 0);
    EXPECT_EQ(m_form.Table().LastRow(), -1);
    QTest::keyClick(List(), Qt::Key_Escape);
    m_gate->Release(m_tree.path("two/"));
    ASSERT_TRUE(Ended());
    EXPECT_EQ(Panel1(), "Dust Stopped: 1 Groups Found");
    EXPECT_EQ(List()->NumItems(), 2);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    const Paths report = RowPaths();
    m_messages.confirmAnswer = false;
    m_form.DuplicateFiles1Click();
    EXPECT_FALSE(m_form.ReportRun().Running());
    m_messages.confirmAnswer = true;
    List()->setFocus();
    m_form.MaskComboBox()->setEditText(QStringLiteral(" \t "));
    m_form.DuplicateReport1Click();
    EXPECT_EQ(m_messages.shown.back(), (Shown{"Error", "Please enter a filename mask before dusting."}));
    EXPECT_TRUE(m_form.MaskComboBox()->hasFocus());
    EXPECT_EQ(RowPaths(), report);

    // The mask is the trimmed text; Esc outside a run stops nothing: the next run is whole.
    m_form.MaskComboBox()->setEditText(QStringLiteral("  *.TXT "));
    QTest::keyClick(List(), Qt::Key_Escape);
    RunDupes();
    EXPECT_EQ(Panel1(), "Dust Complete: 3 Groups Found");
}

TEST_F(MainWindowTest, AFaultOfTheWalkIsShownAndTheHourglassRestored)
{
    m_tree.file("one/a.txt");
    m_form.ReportRun().Worker().afterDirectoryRead = [](const std::string& directory) {
        if (directory.empty())
            throw std::runtime_error("Cannot allocate memory");
    };
    RunDupes();
    EXPECT_EQ(m_messages.shown.back(), (Shown{"Error", "Cannot allocate memory"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(m_form.ReportRun().FilesPanel()->isVisible());

    // Commands are taken again.
    m_form.ReportRun().Worker().afterDirectoryRead = nullptr;
    QTest::mouseClick(Button("DupesSpeedButton"), Qt::LeftButton);
    ASSERT_TRUE(Ended());
    EXPECT_EQ(Panel1(), "Dust Complete - Nothing Found");
}

TEST_F(MainWindowTest, TheWindowClosedOrDestroyedDuringARunStopsItWithoutWaitingForTheWalk)
{
    m_tree.file("one/sub/a.txt");
    for (const bool closed : {true, false}) {
        SCOPED_TRACE(closed ? "closed" : "destroyed");
        auto gate = std::make_shared<WalkGate>();
        auto form = std::make_unique<TMainForm>(
            MainServices{m_probe, m_messages, m_launcher, m_help, LocaleSettings::usEnglish()});
        auto token = std::make_shared<int>();
        const std::weak_ptr<int> runAlive = token;
        form->ReportRun().Worker().afterDirectoryRead = [gate, token](const std::string& directory) {
            gate->Arrive(directory);
        };
        token.reset();
        gate->HoldAt(m_tree.path("one/"));
        form->DupesSpeedButtonClick();
        ASSERT_TRUE(QTest::qWaitFor([&] { return gate->Arrived(m_tree.path("one/")); }, 30000));
        if (closed) {
            form->show();
            form->close();
        }
        form.reset(); // returns while the walk still hangs in its directory
        EXPECT_TRUE(gate->Arrived(m_tree.path("one/")));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);

        // Let go, the walk finds itself stopped and ends without reading another directory (the
        // empty path marks the measuring, which runs on what the walk found).
        gate->ReleaseAll();
        EXPECT_TRUE(QTest::qWaitFor([&] { return runAlive.expired(); }, 30000));
        EXPECT_EQ(gate->Visited(), (Paths{m_tree.path("one/"), ""}));
    }
}

TEST_F(MainWindowTest, TheMaskFieldTakesWhatIsTypedLetterForLetter)
{
    QComboBox* mask = m_form.MaskComboBox();
    ASSERT_TRUE(ShowActive(m_form));
    mask->setFocus();
    for (const char* typed : {"*.h", "*.T"}) {
        mask->lineEdit()->clear();
        QTest::keyClicks(mask->lineEdit(), QString::fromLatin1(typed));
        QTest::keyClick(mask->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(mask->currentText().toStdString(), typed); // not completed to "*.tif"
        EXPECT_EQ(mask->count(), 39);                        // nor added to the list
    }
}

TEST_F(MainWindowTest, DrivesCommandTakesTheDialogsListOnlyOnOk)
{
    const Paths start = m_form.DriveList();
    m_detect = FixedDriveProbe({"/srv/", "/data/"});
    m_answers["DrivesForm"] = [&] {
        // Filled afresh each time: the roots detected in a cancelled showing are gone.
        EXPECT_EQ(m_drivesForm.Drives(), start);
        EXPECT_EQ(m_drivesForm.ProgramDir(), m_form.ProgramDir());
        m_drivesForm.DetectButton()->click();
        return int(m_modals.size() == 1 ? QDialog::Rejected : QDialog::Accepted);
    };
    Button("DrivesSpeedButton")->click();
    EXPECT_EQ(m_form.DriveList(), start);
    EXPECT_EQ(m_form.DrivesEdit()->text().toStdString(), m_tree.path("one") + " " + m_tree.path("two"));
    EXPECT_EQ(Panel1(), "Drives Update Canceled");
    m_form.SelectDrives1Click();
    EXPECT_EQ(m_form.DriveList(), (Paths{"/data/", "/srv/"}));
    EXPECT_EQ(m_form.DrivesEdit()->text(), "/data /srv");
    EXPECT_EQ(Panel1(), "Drives List Updated");
}

TEST_F(MainWindowTest, ALongRootKeepsToPanelOneElidedInTheMiddle)
{
    const std::string root = m_tree.path("one/" + std::string(120, 'd') + "/");
    m_tree.dir("one/" + std::string(120, 'd'));
    m_detect = FixedDriveProbe({root});
    m_answers["DrivesForm"] = [this] {
        m_drivesForm.DetectButton()->click();
        return int(QDialog::Accepted);
    };
    m_form.SelectDrives1Click();
    m_form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_form));
    const QSize size = m_form.size();
    m_gate->HoldAt(root);
    m_form.DupesSpeedButtonClick();
    ASSERT_TRUE(WaitArrived(root));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Panel1() == "Dusting: " + root; }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

    StatusBarPanel* panel1 = m_form.StatusPanel(1);
    EXPECT_EQ(m_form.size(), size);
    const QString shown = panel1->ShownText();
    EXPECT_TRUE(shown.startsWith("Dusting") && shown.contains(QChar(0x2026)) && shown.endsWith("dd/"))
        << shown.toStdString();
}

TEST_F(MainWindowTest, CompareContentsShowsTheCopiesInTheListAndInPrint)
{
    Put("one/a.txt", "same");
    Put("one/sub/a.txt", "same");
    Put("two/a.txt", "sane");
    m_tree.file("two/empty.log");
    m_form.resize(800, 600);
    ASSERT_TRUE(ShowActive(m_form));
    EXPECT_FALSE(Action("CompareContents1")->isEnabled());
    RunDupes();
    QTest::keyClick(List(), Qt::Key_K, Qt::ControlModifier);
    ASSERT_TRUE(Ended());
    EXPECT_EQ(Panel1(), "Contents Compared: 1 Copies in 1 Groups");
    const Classes expected = {{m_tree.path("one/a.txt"), "=1"},
                              {m_tree.path("one/sub/a.txt"), "=1"},
                              {m_tree.path("two/a.txt"), ""}};
    EXPECT_EQ(ClassesIn(3, [&](int row) { return List()->ItemText(row); }), expected);
    EXPECT_EQ(List()->Header().toStdString(), kContentListHeader);
    m_form.PrintSpeedButtonClick();
    EXPECT_EQ(PrintedBody(m_printer),
              (Paths{List()->ItemText(0).toStdString(), List()->ItemText(1).toStdString(),
                     List()->ItemText(2).toStdString()}));

    // A new report has no column until it is compared; a zero-length report cannot be compared.
    RunDupes();
    EXPECT_EQ(List()->Header().toStdString(), kResultListHeader);
    EXPECT_EQ(List()->ItemText(0).toStdString(), m_form.Table().RowTexts(0));
    m_form.ZeroSpeedButtonClick();
    ASSERT_TRUE(Ended());
    ASSERT_EQ(RowPaths(), Paths{m_tree.path("two/empty.log")});
    EXPECT_FALSE(Action("CompareContents2")->isEnabled());
    m_form.CompareContents1Click();
    EXPECT_FALSE(m_form.ContentCompare().Running());
}

TEST_F(MainWindowTest, EscStopsTheCheckWhichKeepsTheClassesFoundSoFar)
{
    Put("one/a.txt", "same");
    Put("two/a.txt", "same");
    Put("two/gone/a.txt", "same");
    Put("one/b.bin", std::string(5000, 'x'));
    Put("two/b.bin", std::string(5000, 'x'));
    RunDupes();
    // A row deleted before the check: not read, no class.
    const Paths rows = RowPaths();
    m_form.Table().markDeleted(std::find(rows.begin(), rows.end(), m_tree.path("two/gone/a.txt")) -
                               rows.begin());
    ASSERT_TRUE(ShowActive(m_form));
    m_form.ContentCompare().beforeWholeRead = [gate = m_gate](int) { gate->Arrive("whole"); };
    m_gate->HoldAt("whole");
    m_form.CompareContents2Click();
    ASSERT_TRUE(WaitArrived("whole"));

    // The first 4 KiB of each file are read: 8,200 of 10,008 bytes.
    StatusBarPanel* bytes = m_form.ContentCompare().BytesPanel();
    EXPECT_TRUE(QTest::qWaitFor([&] { return bytes->text() == "8.0 KB of 9.8 KB"; }))
        << bytes->text().toStdString();
    EXPECT_EQ(Panel1(), "Comparing Contents");
    EXPECT_FALSE(Action("CompareContents1")->isEnabled());
    // The table is the check's meanwhile: no report, and no Delete even called directly.
    const auto shown = m_messages.shown;
    QTest::mouseClick(Button("DupesSpeedButton"), Qt::LeftButton);
    m_form.DupesSpeedButtonClick();
    m_form.DeleteSpeedButtonClick();
    EXPECT_EQ(m_messages.shown, shown);

    QTest::keyClick(List(), Qt::Key_Escape);
    m_gate->Release("whole");
    ASSERT_TRUE(Ended());
    EXPECT_EQ(Panel1(), "Compare Stopped: 1 Copies in 1 Groups");
    EXPECT_EQ(ClassesIn(List()->NumItems(), [&](int row) { return List()->ItemText(row); }),
              (Classes{{m_tree.path("one/a.txt"), "=1"},
                       {m_tree.path("two/a.txt"), "=1"},
                       {m_tree.path("two/gone/a.txt") + " (Deleted)", ""},
                       {m_tree.path("one/b.bin"), "?"},
                       {m_tree.path("two/b.bin"), "?"}}));
    EXPECT_FALSE(bytes->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
