// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TDrivesForm.h"
#include "dialogs/TSizeForm.h"
#include "dialogs/TSpinEdit.h"
#include "info/TTipForm.h"
#include "main/ContentCompareController.h"
#include "main/ReportRunController.h"
#include "main/TMainForm.h"
#include "platform/DriveProbe.h"
#include "platform/FakeProgramLauncher.h"
#include "platform/FolderChooser.h"
#include "platform/PrintDialog.h"
#include "platform/RecordingHelpViewer.h"
#include "platform/RecordingMessageBoxes.h"
#include "platform/RecordingPrinter.h"
#include "scan/RowForms.h"
#include "widgets/TOvcVirtualListbox.h"

#include "PrintedText.h"
#include "TempTree.h"
#include "WalkGate.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>
#include <sys/stat.h>

namespace {

using Shown = RecordingMessageBoxes::Shown;
using Roots = std::vector<std::string>;
using Classes = std::map<std::string, std::string>;

// The main window on a temporary tree whose folders "one/" and "two/" are its drives, with both
// dialogs, recording what it shows and answering the modal windows as each test says.
class ReportCommandsTest : public ::testing::Test
{
protected:
    ReportCommandsTest()
        : m_probe({m_tree.path("one/"), m_tree.path("two/")}),
          m_form(MainServices{m_probe, m_messages, m_launcher, m_help, LocaleSettings::usEnglish()}),
          m_drivesForm(m_detect, m_folders, m_help), m_sizeForm(m_help), m_tipForm(0)
    {
        m_tree.dir("one");
        m_tree.dir("two");
        m_form.SetDrivesForm(&m_drivesForm);
        m_form.SetSizeForm(&m_sizeForm);
        m_form.SetTipForm(&m_tipForm);
        m_form.RunModal = [this](QDialog& dialog) {
            const std::string name = dialog.objectName().toStdString();
            m_modals.push_back(name);
            if (name == "SizeForm" && m_sizeAnswer)
                return m_sizeAnswer();
            if (name == "DrivesForm" && m_drivesAnswer)
                return m_drivesAnswer();
            return int(QDialog::Rejected);
        };
        m_form.ReportRun().Worker().afterDirectoryRead = [gate = m_gate](const std::string& directory) {
            gate->Arrive(directory);
        };
    }
    ~ReportCommandsTest() override { m_gate->ReleaseAll(); }

    QToolButton* Button(const char* name) const
    {
        return m_form.findChild<QToolButton*>(QString::fromLatin1(name));
    }
    std::string Panel1() const { return m_form.StatusPanel(1)->text().toStdString(); }
    StatusBarPanel* FilesPanel() { return m_form.ReportRun().FilesPanel(); }
    bool Running() { return m_form.ReportRun().Running(); }
    bool Finished()
    {
        return QTest::qWaitFor([this] { return !Running(); }, 30000);
    }
    bool WaitArrived(const std::string& relative) const
    {
        return QTest::qWaitFor([&] { return m_gate->Arrived(m_tree.path(relative)); }, 30000);
    }
    std::vector<std::string> RowPaths()
    {
        std::vector<std::string> paths;
        for (int row = 0; row <= m_form.Table().LastRow(); ++row)
            paths.push_back(m_form.Table().isSeparator(row) ? "-" : m_form.Table().RowPaths(row));
        return paths;
    }
    void RunDupes()
    {
        m_messages.confirmAnswer = true;
        m_form.DupesSpeedButtonClick();
        ASSERT_TRUE(Finished());
    }
    void SetSize(int unit, const char* value)
    {
        m_sizeForm.UnitButton(unit)->click();
        m_sizeForm.SizeFilterSpinEdit()->findChild<QLineEdit*>()->setText(QString::fromLatin1(value));
    }
    // A file holding bytes, last written at mtime.
    void Put(const std::string& relative, const std::string& bytes, std::time_t mtime = 1000000000)
    {
        m_tree.file(relative);
        std::ofstream(m_tree.path(relative), std::ios::binary) << bytes;
        const timespec times[2] = {{mtime, 0}, {mtime, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, m_tree.path(relative).c_str(), times, 0), 0);
    }
    bool Compared()
    {
        return QTest::qWaitFor([this] { return !m_form.ContentCompare().Running(); }, 30000);
    }
    // Each row's path and class as a row text gives them: the class column right of the size, the
    // path after it.
    Classes ClassesIn(const std::function<QString(int row)>& rowText) const
    {
        Classes classes;
        for (int row = 0; row < m_form.ListBox()->NumItems(); ++row) {
            std::string text = rowText(row).toStdString();
            if (text.empty())
                continue;
            std::string column = text.substr(39, 5);
            column.erase(column.find_last_not_of(' ') + 1);
            classes[text.substr(46)] = column;
        }
        return classes;
    }
    Classes ClassesShown() const
    {
        return ClassesIn([this](int row) { return m_form.ListBox()->ItemText(row); });
    }
    bool ShowActive()
    {
        m_form.show();
        m_form.activateWindow();
        return QTest::qWaitForWindowActive(&m_form);
    }

    TempTree m_tree;
    FixedDriveProbe m_probe;
    FixedDriveProbe m_detect{{}};
    FixedFolderChooser m_folders;
    RecordingMessageBoxes m_messages;
    FakeProgramLauncher m_launcher;
    RecordingHelpViewer m_help;
    TMainForm m_form;
    TDrivesForm m_drivesForm;
    TSizeForm m_sizeForm;
    TTipForm m_tipForm;
    std::vector<std::string> m_modals;
    std::function<int()> m_sizeAnswer;
    std::function<int()> m_drivesAnswer;
    std::shared_ptr<WalkGate> m_gate = std::make_shared<WalkGate>();
};

} // namespace

TEST_F(ReportCommandsTest, DuplicatesRunShowsItsProgressThenTwoGroupsWithOneSeparator)
{
    m_tree.file("one/K.txt");
    m_tree.file("one/L.txt");
    m_tree.file("one/sub/M.dat");
    for (int i = 0; i < 1000; ++i)
        m_tree.file("one/bulk/f" + std::to_string(i) + ".bin");
    m_tree.file("two/k.TXT");
    m_tree.file("two/M.dat");
    m_tree.file("two/sub/m.DAT");
    ASSERT_TRUE(ShowActive());
    m_modals.clear();

    m_gate->HoldAt(m_tree.path("one/"));
    m_gate->HoldAt(m_tree.path("two/"));
    QTest::mouseClick(Button("DupesSpeedButton"), Qt::LeftButton);
    EXPECT_EQ(m_messages.shown,
              (std::vector<Shown>{{"Confirm", "Run report searching for duplicate filenames?"}}));

    ASSERT_TRUE(WaitArrived("one/"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Panel1() == "Dusting: " + m_tree.path("one/"); }));
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_FALSE(Button("PrintSpeedButton")->isEnabled());
    m_gate->Release(m_tree.path("one/"));

    ASSERT_TRUE(WaitArrived("two/"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Panel1() == "Dusting: " + m_tree.path("two/"); }));
    EXPECT_TRUE(FilesPanel()->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return FilesPanel()->text() == "1,003 files"; }));

    // No command reaches its handler meanwhile: not by mouse, shortcut or menu, nor called directly.
    const auto shown = m_messages.shown;
    QTest::mouseClick(Button("DupesSpeedButton"), Qt::LeftButton);
    QTest::mouseClick(Button("ZeroSpeedButton"), Qt::LeftButton);
    QTest::keyClick(&m_form, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(&m_form, Qt::Key_T, Qt::ControlModifier);
    m_form.SizeSpeedButtonClick();
    m_form.ZeroLengthFiles1Click();
    m_form.DrivesSpeedButtonClick();
    // Nor a screen reader's press, which reaches buttons, menu items and links without any input.
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
    EXPECT_EQ(m_modals, (Roots{"TipForm"}));
    EXPECT_EQ(m_form.TipCounter(), 1);
    EXPECT_TRUE(Running());
    m_gate->Release(m_tree.path("two/"));

    ASSERT_TRUE(Finished());
    const std::vector<std::string> rows = RowPaths();
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(std::set<std::string>(rows.begin(), rows.begin() + 2),
              (std::set<std::string>{m_tree.path("one/K.txt"), m_tree.path("two/k.TXT")}));
    EXPECT_EQ(rows[2], "-");
    EXPECT_EQ(std::set<std::string>(rows.begin() + 3, rows.end()),
              (std::set<std::string>{m_tree.path("one/sub/M.dat"), m_tree.path("two/M.dat"),
                                     m_tree.path("two/sub/m.DAT")}));
    EXPECT_EQ(Panel1(), "Dust Complete: 2 Groups Found");
    EXPECT_EQ(m_form.ListBox()->NumItems(), 6);
    EXPECT_EQ(m_form.ListBox()->ItemIndex(), 0);
    EXPECT_TRUE(Button("DeleteSpeedButton")->isEnabled());
    EXPECT_FALSE(FilesPanel()->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    m_form.ListBox()->viewport()->grab();
    EXPECT_TRUE(Button("PrintSpeedButton")->isEnabled());
}

TEST_F(ReportCommandsTest, SizeReportTakesItsThresholdFromTheDialog)
{
    m_tree.file("one/a.bin", 1023999);
    m_tree.file("one/b.bin", 1024000);
    m_tree.file("two/c.bin", 1048575);
    m_tree.file("two/d.bin", 1048576);

    m_sizeAnswer = [this] {
        EXPECT_EQ(m_sizeForm.ProgramDir(), m_form.ProgramDir());
        SetSize(0, "1000");
        return int(QDialog::Accepted);
    };
    Button("SizeSpeedButton")->click();
    ASSERT_TRUE(Finished());
    EXPECT_EQ(m_form.SizeThreshold(), 1024000);
    EXPECT_EQ(Panel1(), "Dust Complete: 3 Found");
    // In the order the walk found them: each directory's files as the directory read gives them.
    const std::vector<std::string> rows = RowPaths();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], m_tree.path("one/b.bin"));
    EXPECT_EQ(m_form.Table().RowTexts(0).substr(20), "  1,024,000        " + rows[0]); // the window's locale
    EXPECT_EQ(std::set<std::string>(rows.begin() + 1, rows.end()),
              (std::set<std::string>{m_tree.path("two/c.bin"), m_tree.path("two/d.bin")}));

    m_sizeAnswer = [this] {
        SetSize(1, "1");
        return int(QDialog::Accepted);
    };
    m_form.SizeReport1Click();
    ASSERT_TRUE(Finished());
    EXPECT_EQ(m_form.SizeThreshold(), 1048576);
    EXPECT_EQ(RowPaths(), (Roots{m_tree.path("two/d.bin")}));
    EXPECT_EQ(Panel1(), "Dust Complete: 1 Found");

    // Cancel in the dialog: no run, nothing changed.
    m_sizeAnswer = [this] {
        SetSize(0, "100");
        return int(QDialog::Rejected);
    };
    m_form.SizeCriteria1Click();
    EXPECT_FALSE(Running());
    EXPECT_EQ(m_form.SizeThreshold(), 1048576);
    EXPECT_EQ(RowPaths(), (Roots{m_tree.path("two/d.bin")}));
    EXPECT_EQ(Panel1(), "Dust Complete: 1 Found");
    EXPECT_EQ(std::count(m_modals.begin(), m_modals.end(), "SizeForm"), 3);
}

TEST_F(ReportCommandsTest, ZeroLengthReportAndNothingFoundDisablingPrint)
{
    m_tree.file("one/empty.log", 0);
    m_tree.file("two/full.log", 5);
    m_messages.confirmAnswer = true;
    Button("ZeroSpeedButton")->click();
    ASSERT_TRUE(Finished());
    EXPECT_EQ(m_messages.shown.back(), (Shown{"Confirm", "Run report searching for zero-length files?"}));
    EXPECT_EQ(Panel1(), "Dust Complete: 1 Found");
    EXPECT_EQ(RowPaths(), (Roots{m_tree.path("one/empty.log")}));
    m_form.ListBox()->viewport()->grab();
    EXPECT_TRUE(Button("PrintSpeedButton")->isEnabled());

    m_tree.remove("one/empty.log");
    m_form.ZerolengthReport1Click();
    ASSERT_TRUE(Finished());
    EXPECT_EQ(Panel1(), "Dust Complete - Nothing Found");
    EXPECT_EQ(m_form.ListBox()->NumItems(), 0);
    m_form.ListBox()->viewport()->grab();
    EXPECT_FALSE(Button("PrintSpeedButton")->isEnabled());
    EXPECT_FALSE(m_form.findChild<QAction*>(QStringLiteral("PrintReport1"))->isEnabled());
    EXPECT_FALSE(Button("DeleteSpeedButton")->isEnabled());
}

TEST_F(ReportCommandsTest, CancelAndABlankMaskKeepThePreviousReport)
{
    m_tree.file("one/x.txt");
    m_tree.file("two/X.TXT");
    RunDupes();
    const std::vector<std::string> report = RowPaths();
    ASSERT_EQ(report.size(), 2u);
    ASSERT_TRUE(ShowActive());

    m_messages.confirmAnswer = false;
    m_form.DuplicateFiles1Click();
    EXPECT_FALSE(Running());
    EXPECT_EQ(RowPaths(), report);
    EXPECT_EQ(Panel1(), "Dust Complete: 1 Groups Found");

    m_messages.confirmAnswer = true;
    m_messages.shown.clear();
    m_form.MaskComboBox()->setEditText(QStringLiteral(" \t "));
    m_form.DuplicateReport1Click();
    EXPECT_FALSE(Running());
    EXPECT_EQ(m_messages.shown,
              (std::vector<Shown>{{"Confirm", "Run report searching for duplicate filenames?"},
                                  {"Error", "Please enter a filename mask before dusting."}}));
    EXPECT_TRUE(m_form.MaskComboBox()->hasFocus());
    EXPECT_EQ(RowPaths(), report);
    EXPECT_EQ(m_form.ListBox()->NumItems(), 2);
    EXPECT_EQ(Panel1(), "Dust Complete: 1 Groups Found");

    // The mask is the trimmed text.
    m_form.MaskComboBox()->setEditText(QStringLiteral("  *.TXT "));
    RunDupes();
    EXPECT_EQ(RowPaths().size(), 2u);
}

TEST_F(ReportCommandsTest, EscStopsTheRunAndWhatWasFoundBecomesTheReport)
{
    m_tree.file("one/A.txt");
    m_tree.file("one/sub/a.txt");
    m_tree.file("one/sub/c.txt");
    m_tree.file("two/sub/B.txt");
    m_tree.file("two/sub2/b.txt");
    m_tree.file("two/sub2/C.txt");
    RunDupes();
    EXPECT_EQ(Panel1(), "Dust Complete: 3 Groups Found");
    EXPECT_EQ(m_form.ListBox()->NumItems(), 8);

    m_gate->HoldAt(m_tree.path("two/"));
    Button("DupesSpeedButton")->click();
    ASSERT_TRUE(WaitArrived("two/"));
    // Nothing of the old report is left to show while the new one is built.
    EXPECT_EQ(m_form.ListBox()->NumItems(), 0);
    EXPECT_EQ(m_form.Table().LastRow(), -1);
    QTest::keyClick(m_form.ListBox(), Qt::Key_Escape);
    m_gate->Release(m_tree.path("two/"));

    ASSERT_TRUE(Finished());
    EXPECT_EQ(Panel1(), "Dust Stopped: 1 Groups Found");
    const std::vector<std::string> rows = RowPaths();
    EXPECT_EQ(std::set<std::string>(rows.begin(), rows.end()),
              (std::set<std::string>{m_tree.path("one/A.txt"), m_tree.path("one/sub/a.txt")}));
    EXPECT_EQ(m_form.ListBox()->ItemIndex(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Esc outside a run stops nothing: the next run is whole.
    QTest::keyClick(m_form.ListBox(), Qt::Key_Escape);
    RunDupes();
    EXPECT_EQ(Panel1(), "Dust Complete: 3 Groups Found");
}

TEST_F(ReportCommandsTest, AFaultOfTheWalkIsShownAndTheHourglassRestored)
{
    m_tree.file("one/a.txt");
    m_form.ReportRun().Worker().afterDirectoryRead = [](const std::string& directory) {
        if (directory.empty())
            throw std::runtime_error("Cannot allocate memory");
    };
    RunDupes();
    EXPECT_EQ(m_messages.shown.back(), (Shown{"Error", "Cannot allocate memory"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(FilesPanel()->isVisible());
    EXPECT_EQ(Panel1(), "");
    EXPECT_EQ(m_form.ListBox()->NumItems(), 0);

    // Commands are taken again.
    m_form.ReportRun().Worker().afterDirectoryRead = nullptr;
    QTest::mouseClick(Button("DupesSpeedButton"), Qt::LeftButton);
    ASSERT_TRUE(Finished());
    EXPECT_EQ(Panel1(), "Dust Complete - Nothing Found");
}

TEST_F(ReportCommandsTest, TheWindowClosedOrDestroyedDuringARunStopsItWithoutWaitingForTheWalk)
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
            EXPECT_FALSE(form->isVisible());
        }
        form.reset(); // returns while the walk still hangs in its directory
        EXPECT_TRUE(gate->Arrived(m_tree.path("one/")));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);

        // Let go, the walk finds itself stopped and ends without reading another directory (the
        // empty path marks the measuring, which runs on what the walk found).
        gate->ReleaseAll();
        EXPECT_TRUE(QTest::qWaitFor([&] { return runAlive.expired(); }, 30000));
        EXPECT_EQ(gate->Visited(), (Roots{m_tree.path("one/"), ""}));
    }
}

TEST_F(ReportCommandsTest, TheMaskFieldTakesWhatIsTypedLetterForLetter)
{
    QComboBox* mask = m_form.MaskComboBox();
    ASSERT_TRUE(ShowActive());
    mask->setFocus();
    for (const char* typed : {"*.h", "*.c", "*.T"}) {
        mask->lineEdit()->clear();
        QTest::keyClicks(mask->lineEdit(), QString::fromLatin1(typed));
        EXPECT_EQ(mask->currentText().toStdString(), typed);
        QTest::keyClick(mask->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(mask->currentText().toStdString(), typed);
        EXPECT_EQ(mask->count(), 39);
    }
}

TEST_F(ReportCommandsTest, DrivesCommandTakesTheDialogsListOnlyOnOk)
{
    const Roots start = m_form.DriveList();
    m_detect = FixedDriveProbe({"/srv/", "/data/"});
    m_drivesAnswer = [&] {
        EXPECT_EQ(m_drivesForm.Drives(), start);
        EXPECT_EQ(m_drivesForm.ProgramDir(), m_form.ProgramDir());
        m_drivesForm.DetectButton()->click();
        return int(QDialog::Rejected);
    };
    Button("DrivesSpeedButton")->click();
    EXPECT_EQ(m_form.DriveList(), start);
    EXPECT_EQ(m_form.DrivesEdit()->text().toStdString(), m_form.DrivesSummary());
    EXPECT_EQ(Panel1(), "Drives Update Canceled");

    m_drivesAnswer = [&] {
        // Refilled: the roots detected in the cancelled showing are gone.
        EXPECT_EQ(m_drivesForm.Drives(), m_form.DriveList());
        m_drivesForm.DetectButton()->click();
        return int(QDialog::Accepted);
    };
    m_form.SelectDrives1Click();
    EXPECT_EQ(m_form.DriveList(), (Roots{"/data/", "/srv/"}));
    EXPECT_EQ(m_form.DrivesEdit()->text(), "/data /srv");
    EXPECT_EQ(Panel1(), "Drives List Updated");
}

TEST_F(ReportCommandsTest, ADialogsHintsGoToItsOwnStatusBarFromTheFirstOn)
{
    // As a dialog opens, the main window is still the active one.
    ASSERT_TRUE(ShowActive());
    m_form.StatusPanel(0)->setText(QStringLiteral("Lintwick"));
    for (QPushButton* help : {m_sizeForm.SizeHelpButton(), m_drivesForm.DrivesHelp()}) {
        QStatusTipEvent tip(help->statusTip());
        QApplication::sendEvent(help, &tip);
    }
    EXPECT_EQ(m_sizeForm.StatusPanel()->text(), "Display size report help page");
    EXPECT_EQ(m_drivesForm.StatusPanel()->text(), "Display drives help page");
    EXPECT_EQ(m_form.StatusPanel(0)->text(), "Lintwick");
}

TEST_F(ReportCommandsTest, ALongRootKeepsToPanelOneElidedInTheMiddle)
{
    const std::string root = "one/" + std::string(120, 'd') + "/";
    m_tree.dir(root);
    m_probe = FixedDriveProbe({m_tree.path(root)});
    TMainForm form(MainServices{m_probe, m_messages, m_launcher, m_help, LocaleSettings::usEnglish()});
    form.RunModal = [](QDialog&) { return int(QDialog::Rejected); };
    form.ReportRun().Worker().afterDirectoryRead = [gate = m_gate](const std::string& directory) {
        gate->Arrive(directory);
    };
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QSize size = form.size();
    m_gate->HoldAt(m_tree.path(root));
    m_messages.confirmAnswer = true;
    form.DupesSpeedButtonClick();
    ASSERT_TRUE(WaitArrived(root));
    StatusBarPanel* panel1 = form.StatusPanel(1);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return panel1->text().toStdString() == "Dusting: " + m_tree.path(root); }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

    EXPECT_EQ(form.size(), size);
    EXPECT_LT(form.StatusPanel(0)->geometry().right(), panel1->geometry().left());
    EXPECT_LT(panel1->geometry().right(), form.ReportRun().FilesPanel()->geometry().left());
    const QString shown = panel1->ShownText();
    EXPECT_TRUE(shown.startsWith("Dusting") && shown.contains(QChar(0x2026)) && shown.endsWith("dd/"))
        << shown.toStdString();
    m_gate->ReleaseAll();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.ReportRun().Running(); }, 30000));
}

TEST_F(ReportCommandsTest, CompareContentsShowsTheCopiesInTheListInPrintAndToAScreenReader)
{
    const std::string big = std::string(4096, 'x') + std::string(904, 'y');
    const std::string nearBig = big.substr(0, 4999) + "z";
    Put("one/a.txt", "same");
    Put("one/sub/a.txt", "same");
    Put("two/a.txt", "sane");
    Put("two/sub/a.txt", "another size");
    Put("one/b.bin", big);
    Put("two/sub/b.bin", big);
    Put("two/b.bin", nearBig);
    Put("one/sub/b.bin", big);
    m_tree.file("one/large.log", 2000000);
    m_form.resize(800, 600);
    ASSERT_TRUE(ShowActive());
    QAction* compare = m_form.findChild<QAction*>(QStringLiteral("CompareContents1"));
    QAction* popupCompare = m_form.findChild<QAction*>(QStringLiteral("CompareContents2"));
    EXPECT_FALSE(compare->isEnabled());
    RunDupes();
    EXPECT_TRUE(compare->isEnabled());
    EXPECT_TRUE(popupCompare->isEnabled());

    Put("one/sub/b.bin", big, 1000000001); // changed since the report
    QTest::keyClick(m_form.ListBox(), Qt::Key_K, Qt::ControlModifier);
    ASSERT_TRUE(Compared());
    EXPECT_EQ(Panel1(), "Contents Compared: 2 Copies in 2 Groups");
    const Classes expected = {{m_tree.path("one/a.txt"), "=1"}, {m_tree.path("one/sub/a.txt"), "=1"},
                              {m_tree.path("two/a.txt"), ""},   {m_tree.path("two/sub/a.txt"), ""},
                              {m_tree.path("one/b.bin"), "=1"}, {m_tree.path("two/sub/b.bin"), "=1"},
                              {m_tree.path("two/b.bin"), ""},   {m_tree.path("one/sub/b.bin"), "?"}};
    EXPECT_EQ(ClassesShown(), expected);
    EXPECT_EQ(m_form.ListBox()->Header().toStdString(), kContentListHeader);
    EXPECT_TRUE(compare->isEnabled());

    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(m_form.ListBox());
    ASSERT_EQ(reader->childCount(), m_form.ListBox()->NumItems() + 1); // the header first
    EXPECT_EQ(reader->child(0)->text(QAccessible::Name).toStdString(), kContentListHeader);
    EXPECT_EQ(ClassesIn([&](int row) { return reader->child(row + 1)->text(QAccessible::Name); }), expected);

    RecordingPrinter printer;
    FakePrintDialog dialog;
    m_form.SetPrinting(PrintServices{printer, dialog, {}});
    m_form.PrintSpeedButtonClick();
    std::vector<std::string> listed; // separators print as blank lines, which hold no text
    for (int row = 0; row < m_form.ListBox()->NumItems(); ++row) {
        if (!m_form.Table().isSeparator(row))
            listed.push_back(m_form.ListBox()->ItemText(row).toStdString());
    }
    EXPECT_EQ(PrintedBody(printer), listed);

    // A new report has no column until it is compared; a size report has none.
    RunDupes();
    EXPECT_EQ(m_form.ListBox()->Header().toStdString(), kResultListHeader);
    EXPECT_EQ(m_form.ListBox()->ItemText(0).toStdString(), m_form.Table().RowTexts(0));
    m_sizeAnswer = [] { return int(QDialog::Accepted); };
    m_form.SizeSpeedButtonClick();
    ASSERT_TRUE(Finished());
    ASSERT_EQ(RowPaths(), (Roots{m_tree.path("one/large.log")}));
    EXPECT_FALSE(popupCompare->isEnabled());
    m_form.CompareContents1Click();
    EXPECT_FALSE(m_form.ContentCompare().Running());
}

TEST_F(ReportCommandsTest, MarkCopiesAfterACheckMarksEveryCopyButTheNewest)
{
    Put("one/a.txt", "same", 1000000001);
    Put("two/a.txt", "same", 1000000003);
    Put("two/sub/a.txt", "same", 1000000002);
    Put("one/sub/a.txt", "other");
    ASSERT_TRUE(ShowActive());
    RunDupes();
    QAction* markCopies = m_form.findChild<QAction*>(QStringLiteral("MarkCopies2"));
    EXPECT_FALSE(markCopies->isEnabled());
    m_form.CompareContents1Click();
    ASSERT_TRUE(Compared());
    QTest::keyClick(m_form.ListBox(), Qt::Key_M, Qt::ControlModifier);
    Roots marked;
    for (int row = m_form.ListBox()->Marks().NextMarked(0); row >= 0;
         row = m_form.ListBox()->Marks().NextMarked(row + 1))
        marked.push_back(m_form.Table().RowPaths(row));
    EXPECT_EQ(marked, (Roots{m_tree.path("one/a.txt"), m_tree.path("two/sub/a.txt")}));
    EXPECT_TRUE(markCopies->isEnabled());
    RunDupes();
    EXPECT_FALSE(markCopies->isEnabled());
    EXPECT_EQ(m_form.ListBox()->Marks().Count(), 0);
}

TEST_F(ReportCommandsTest, EscStopsTheCheckWhichKeepsTheClassesFoundSoFar)
{
    Put("one/a.txt", "same");
    Put("two/a.txt", "same");
    Put("two/gone/a.txt", "same");
    Put("one/b.bin", std::string(5000, 'x'));
    Put("two/b.bin", std::string(5000, 'x'));
    RunDupes();
    // A row deleted before the check: not read, no class.
    const Roots rows = RowPaths();
    m_form.Table().markDeleted(std::find(rows.begin(), rows.end(), m_tree.path("two/gone/a.txt")) -
                               rows.begin());
    ASSERT_TRUE(ShowActive());
    m_form.ContentCompare().beforeWholeRead = [gate = m_gate](int) { gate->Arrive("whole"); };
    m_gate->HoldAt("whole");
    m_form.CompareContents2Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_gate->Arrived("whole"); }, 30000));

    // The first 4 KiB of each file are read: 8,200 of 10,008 bytes.
    StatusBarPanel* bytes = m_form.ContentCompare().BytesPanel();
    EXPECT_TRUE(bytes->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return bytes->text() == "8.0 KB of 9.8 KB"; }))
        << bytes->text().toStdString();
    EXPECT_EQ(Panel1(), "Comparing Contents");
    EXPECT_FALSE(m_form.findChild<QAction*>(QStringLiteral("CompareContents1"))->isEnabled());
    const auto shown = m_messages.shown;
    QTest::mouseClick(Button("DupesSpeedButton"), Qt::LeftButton);
    m_form.DupesSpeedButtonClick();
    EXPECT_EQ(m_messages.shown, shown);

    QTest::keyClick(m_form.ListBox(), Qt::Key_Escape);
    m_gate->Release("whole");
    ASSERT_TRUE(Compared());
    EXPECT_EQ(Panel1(), "Compare Stopped: 1 Copies in 1 Groups");
    EXPECT_EQ(ClassesShown(), (Classes{{m_tree.path("one/a.txt"), "=1"},
                                       {m_tree.path("two/a.txt"), "=1"},
                                       {m_tree.path("two/gone/a.txt") + " (Deleted)", ""},
                                       {m_tree.path("one/b.bin"), "?"},
                                       {m_tree.path("two/b.bin"), "?"}}));
    EXPECT_FALSE(bytes->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
