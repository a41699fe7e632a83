// SPDX-License-Identifier: GPL-3.0-or-later
// The main window itself: its start, hints, tips, links and shortcuts.
#include "MainWindowTest.h"

#include "platform/ProgramLauncher.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTimer>

namespace {

void SendStatusTip(QWidget* widget)
{
    QStatusTipEvent tip(widget->statusTip());
    QApplication::sendEvent(widget, &tip);
}

class MainFormTest : public MainWindowTest
{
protected:
    long TipsShown() const { return std::count(m_modals.begin(), m_modals.end(), "TipForm"); }
};

} // namespace

TEST_F(MainFormTest, HintsGoToPanelZeroOfTheWindowThatHoldsTheControlWhicheverIsActive)
{
    ASSERT_TRUE(ShowActive(m_form));
    QLabel* panel0 = m_form.StatusPanel(0);
    SendStatusTip(Button("DupesSpeedButton"));
    EXPECT_EQ(panel0->text(), "Perform dusting to find all duplicate files on connected drives");
    // Highlighting a menu item, of the bar or of the pop-up menu, shows its own long hint.
    Action("PrintReport1")->showStatusText(m_form.menuBar());
    EXPECT_EQ(panel0->text(), "Send results of scan to connected printer");
    Action("ShowTips1")->showStatusText();
    EXPECT_EQ(panel0->text(), "Display window with data quality control tips");
    // Resting on something without a hint empties the panel.
    SendStatusTip(List());
    EXPECT_EQ(panel0->text(), "");
    // A dialog's hints go to its own status bar from the first on, while the main window is active.
    SendStatusTip(m_sizeForm.SizeHelpButton());
    EXPECT_EQ(m_sizeForm.StatusPanel()->text(), "Display size report help page");
    EXPECT_EQ(panel0->text(), "");

    ASSERT_TRUE(ShowActive(m_audit));
    SendStatusTip(Button("ZeroSpeedButton"));
    EXPECT_EQ(panel0->text(), "Perform dusting to find all files of size zero");
    m_audit.hide();
}

TEST_F(MainFormTest, ReportCommandsShowATipOnTheFirstFourthAndSeventhWhateverTheAnswer)
{
    m_messages.confirmAnswer = false; // every command ends at its question or dialog
    std::vector<long> tipsAfter;
    for (const char* command : {"DupesSpeedButton", "SizeSpeedButton", "ZeroSpeedButton", "DuplicateFiles1",
                                "SizeCriteria1", "ZeroLengthFiles1", "DuplicateReport1"}) {
        if (QToolButton* button = Button(command))
            button->click();
        else
            Action(command)->trigger();
        tipsAfter.push_back(TipsShown());
    }
    EXPECT_EQ(tipsAfter, (std::vector<long>{1, 1, 1, 2, 2, 2, 3}));

    // The tip commands show the next tip each time and are no report commands.
    const int index = m_tipForm.TipIndex();
    Action("ShowDataQualityControlTips1")->trigger();
    Action("ShowTips1")->trigger();
    EXPECT_EQ(TipsShown(), 5);
    EXPECT_EQ(m_tipForm.TipIndex(), (index + 2) % 16);
    EXPECT_EQ(m_form.TipCounter(), 7);
}

TEST_F(MainFormTest, ActivationShowsATipAtStartUpAndBackFromTheAuditWindowButNotAfterAModal)
{
    ASSERT_TRUE(ShowActive(m_form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return TipsShown() == 1; }));
    ASSERT_TRUE(ShowActive(m_audit));
    ASSERT_TRUE(ShowActive(m_form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return TipsShown() == 2; }));

    // A modal dialog, with a status bar of its own, closed once it has become the active window.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, &m_sizeForm, [&] {
        if (QApplication::activeWindow() == &m_sizeForm)
            m_sizeForm.reject();
    });
    closer.start(5);
    m_sizeForm.exec();
    ASSERT_TRUE(ShowActive(m_form));
    QApplication::processEvents();
    EXPECT_EQ(TipsShown(), 2);
    m_audit.hide();
}

TEST_F(MainFormTest, LinksAreReachedByTabAndOpenByKeyClickOrAScreenReadersPress)
{
    m_launcher.results["xdg-open"] = ProgramLauncher::kStarted;
    ASSERT_TRUE(ShowActive(m_form));
    for (const char* name : {"Label1", "Label4"}) {
        SCOPED_TRACE(name);
        QLabel* link = m_form.findChild<QLabel*>(QString::fromLatin1(name));
        m_form.MaskComboBox()->setFocus();
        for (int presses = 0; presses < 20 && !link->hasFocus(); ++presses)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(link->hasFocus());
        QTest::keyClick(link, Qt::Key_Space);
        QTest::mouseClick(link, Qt::LeftButton);
        QAccessible::queryAccessibleInterface(link)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
    }
    Action("CorvaneHomepage1")->trigger();
    EXPECT_EQ(m_launcher.calls, (std::vector<std::pair<std::string, std::string>>(
                                    4, {"xdg-open", "https://www.corvane.example/"})));
    // The other link says how to clean your data.
    ASSERT_EQ(m_messages.shown.size(), 3u);
    EXPECT_EQ(m_messages.shown[0].kind, "Information");
    EXPECT_EQ(m_messages.shown[2], m_messages.shown[0]);
}

TEST_F(MainFormTest, MenuShortcutsWinOverTheKeysOfEveryControl)
{
    QLineEdit* mask = m_form.MaskComboBox()->lineEdit();
    for (QWidget* control : std::vector<QWidget*>{mask, m_form.DrivesEdit(), List()}) {
        ASSERT_TRUE(ShowActive(m_form));
        control->setFocus();
        QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
        EXPECT_TRUE(m_audit.isVisible()) << control->objectName().toStdString();
        EXPECT_EQ(m_audit.AuditFileNameEdit()->text().toStdString(), m_tree.path("program/audit.txt"));
        m_audit.hide();
    }
    // The fields did not take the key for themselves.
    EXPECT_FALSE(mask->hasSelectedText());
    EXPECT_FALSE(m_form.DrivesEdit()->hasSelectedText());

    // The desktop's F1 and Ctrl+Q too.
    ASSERT_TRUE(ShowActive(m_form));
    mask->setFocus();
    QTest::keyClick(mask, Qt::Key_F1);
    QTest::keyClick(mask, Qt::Key_F, Qt::ControlModifier);
    const std::string file = m_form.ProgramDir() + "Lintwick.hlp";
    EXPECT_EQ(m_help.requests, (Paths{"Finder " + file, "Contents " + file, "JumpID SCRIBBLE100"}));
    QTest::keyClick(mask, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(m_form.isVisible());
}
