// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TDrivesForm.h"
#include "dialogs/TSizeForm.h"
#include "dialogs/TSpinEdit.h"
#include "platform/DriveProbe.h"
#include "platform/FolderChooser.h"
#include "platform/RecordingHelpViewer.h"
#include "ui/StatusBarPanel.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Roots = std::vector<std::string>;

// The dialog shown as the user sees it, modal and active, so that focus changes happen for real.
bool ShowActive(QDialog& dialog)
{
    dialog.open();
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog);
}

void Select(QListWidget* list, const std::vector<int>& rows)
{
    list->clearSelection();
    for (int row : rows)
        list->item(row)->setSelected(true);
}

class DrivesFormTest : public ::testing::Test
{
protected:
    FixedDriveProbe m_probe{{"/mnt/usb/", "/", "/home/"}};
    FixedFolderChooser m_folders;
    RecordingHelpViewer m_help;
    TDrivesForm m_form{m_probe, m_folders, m_help};
};

class SizeFormTest : public ::testing::Test
{
protected:
    QString FieldText() const { return m_form.SizeFilterSpinEdit()->findChild<QLineEdit*>()->text(); }
    void Type(const char* text)
    {
        QLineEdit* edit = m_form.SizeFilterSpinEdit()->findChild<QLineEdit*>();
        m_form.SizeFilterSpinEdit()->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(text));
    }

    RecordingHelpViewer m_help;
    TSizeForm m_form{m_help};
};

} // namespace

TEST_F(DrivesFormTest, DetectListsWhatTheProbeFindsSortedAndRestoresTheCursor)
{
    EXPECT_FALSE(m_form.DisableButton()->isEnabled());
    m_form.SetDrives({"/srv/", "/"});
    Select(m_form.DrivesListBox(), {0});
    EXPECT_TRUE(m_form.DisableButton()->isEnabled());

    m_form.DetectButton()->click();
    EXPECT_EQ(m_form.Drives(), (Roots{"/", "/home/", "/mnt/usb/"}));
    EXPECT_EQ(m_form.DrivesListBox()->item(2)->text(), "/mnt/usb/");
    EXPECT_TRUE(m_form.DrivesListBox()->selectedItems().isEmpty());
    EXPECT_FALSE(m_form.DisableButton()->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DrivesFormTest, DisableKeepsTheLastRootAndHandsTheFocusBackToTheListForEnter)
{
    m_form.SetDrives({"/home/", "/", "/boot/", "/srv/"});
    ASSERT_TRUE(ShowActive(m_form));
    Select(m_form.DrivesListBox(), {0, 1, 2, 3});
    m_form.DisableButton()->setFocus();
    QTest::keyClick(m_form.DisableButton(), Qt::Key_Space);
    EXPECT_EQ(m_form.Drives(), (Roots{"/srv/"}));
    EXPECT_FALSE(m_form.DisableButton()->isEnabled()); // nothing selected any more
    Select(m_form.DrivesListBox(), {0});
    EXPECT_FALSE(m_form.DisableButton()->isEnabled()); // the only root

    // Enter accepts the list; it does not press the button next to Disable.
    EXPECT_TRUE(m_form.DrivesListBox()->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(m_form.result(), QDialog::Accepted);
    EXPECT_EQ(m_folders.asked, 0);
}

TEST_F(DrivesFormTest, AddPutsTheChosenFolderIntoTheListOnce)
{
    m_form.SetDrives({"/", "/srv/"});
    m_folders.answer = "/home/ann/Down loads";
    m_form.AddButton()->click();
    m_form.AddButton()->click();
    EXPECT_EQ(m_form.Drives(), (Roots{"/", "/home/ann/Down loads/", "/srv/"}));
    EXPECT_EQ(m_folders.asked, 2);

    // Names are bytes: one that is not UTF-8 comes back as it went in.
    m_folders.answer = "/data/caf\xe9";
    m_form.AddButtonClick();
    EXPECT_EQ(m_form.Drives()[1], "/data/caf\xe9/");

    m_folders.answer.clear(); // the user cancelled the chooser
    m_form.AddButtonClick();
    EXPECT_EQ(m_form.Drives().size(), 4u);
}

TEST_F(DrivesFormTest, CancelAndHelp)
{
    m_form.SetProgramDir("/opt/lintwick/");
    m_form.DrivesHelp()->click();
    EXPECT_EQ(m_help.requests,
              (std::vector<std::string>{"Contents /opt/lintwick/Lintwick.hlp", "JumpID SCRIBBLE20"}));

    ASSERT_TRUE(ShowActive(m_form));
    m_form.DrivesCancelButton()->click();
    EXPECT_EQ(m_form.result(), QDialog::Rejected);
    EXPECT_FALSE(m_form.isVisible());
}

TEST(Dialogs, ShowEveryHintWholeAndKeepTheirSizeWhateverThePanelShows)
{
    FixedDriveProbe probe{{}};
    FixedFolderChooser folders;
    RecordingHelpViewer help;
    TDrivesForm drives(probe, folders, help);
    TSizeForm size(help);
    const std::pair<QDialog*, StatusBarPanel*> dialogs[] = {{&drives, drives.StatusPanel()},
                                                            {&size, size.StatusPanel()}};
    for (auto [dialog, panel] : dialogs) {
        SCOPED_TRACE(dialog->windowTitle().toStdString());
        ASSERT_TRUE(ShowActive(*dialog));
        const QRect shown = dialog->geometry();
        for (const QWidget* control : dialog->findChildren<QWidget*>()) {
            panel->setText(control->statusTip());
            EXPECT_EQ(panel->ShownText(), control->statusTip());
        }
        panel->setText(QStringLiteral("/home/ann/") + QString(200, QLatin1Char('x')) +
                       QStringLiteral("/end"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        EXPECT_EQ(dialog->geometry(), shown);
        EXPECT_TRUE(panel->ShownText().startsWith("/home/ann/x") && panel->ShownText().endsWith("x/end"))
            << panel->ShownText().toStdString();
        dialog->reject();
        ASSERT_TRUE(ShowActive(*dialog));
        EXPECT_EQ(dialog->geometry(), shown);
        dialog->reject();
    }
}

TEST_F(SizeFormTest, FirstShowingAndHelp)
{
    EXPECT_TRUE(m_form.UnitButton(0)->isChecked());
    EXPECT_EQ(FieldText(), "1000");
    EXPECT_EQ(m_form.SizeThreshold(), 1024000);
    m_form.SetProgramDir("/opt/lintwick/");
    m_form.SizeHelpButton()->click();
    EXPECT_EQ(m_help.requests,
              (std::vector<std::string>{"Contents /opt/lintwick/Lintwick.hlp", "JumpID SCRIBBLE30"}));
}

TEST_F(SizeFormTest, ANumberTypedAsTheDialogShowsReplacesTheOneShown)
{
    for (const char* typed : {"5", "70"}) {
        ASSERT_TRUE(ShowActive(m_form));
        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(typed));
        EXPECT_EQ(FieldText(), typed);
        // Leaves the focus on Cancel for the next showing.
        QTest::mouseClick(m_form.SizeCancelButton(), Qt::LeftButton);
        QCoreApplication::sendPostedEvents();
    }
}

TEST_F(SizeFormTest, TypedTextIsClampedWhenGoTakesTheFocusOrReadAsTheMinimum)
{
    ASSERT_TRUE(ShowActive(m_form));
    Type("50");
    EXPECT_EQ(FieldText(), "50");
    QTest::mouseClick(m_form.SizeGoButton(), Qt::LeftButton);
    EXPECT_EQ(m_form.result(), QDialog::Accepted);
    EXPECT_EQ(FieldText(), "100");
    EXPECT_EQ(m_form.SizeThreshold(), 102400);

    ASSERT_TRUE(ShowActive(m_form));
    m_form.UnitButton(1)->click();
    Type("999999"); // one character too many
    EXPECT_EQ(FieldText(), "99999");
    QTest::mouseClick(m_form.SizeGoButton(), Qt::LeftButton);
    EXPECT_EQ(FieldText(), "1000");
    EXPECT_EQ(m_form.SizeThreshold(), 1048576000);

    // Enter closes by Go without leaving the field; the number is clamped all the same.
    ASSERT_TRUE(ShowActive(m_form));
    Type("5000");
    QTest::keyClick(m_form.SizeFilterSpinEdit(), Qt::Key_Return);
    EXPECT_EQ(m_form.result(), QDialog::Accepted);
    EXPECT_EQ(FieldText(), "1000");

    // Letters stay as typed and read as the minimum; the arrows start from it and stop at the maximum.
    ASSERT_TRUE(ShowActive(m_form));
    Type("x");
    QTest::mouseClick(m_form.SizeGoButton(), Qt::LeftButton);
    EXPECT_EQ(FieldText(), "x");
    EXPECT_EQ(m_form.SizeThreshold(), 1048576);
    m_form.SizeFilterSpinEdit()->stepBy(1);
    EXPECT_EQ(FieldText(), "2");
    Type("999");
    QTest::keyClick(m_form.SizeFilterSpinEdit(), Qt::Key_Up);
    QTest::keyClick(m_form.SizeFilterSpinEdit(), Qt::Key_Up);
    EXPECT_EQ(FieldText(), "1000");
}

TEST_F(SizeFormTest, TheUnitSwitchSetsItsOwnStartingValueAndShowingsKeepTheValues)
{
    m_form.SizeFilterSpinEdit()->SetValue(5000);
    m_form.UnitButton(1)->click();
    EXPECT_EQ(m_form.SizeFilterLabel()->text(), "Megabytes");
    EXPECT_EQ(FieldText(), "1");
    m_form.UnitButton(0)->click();
    EXPECT_EQ(m_form.SizeFilterLabel()->text(), "Kilobytes");
    EXPECT_EQ(FieldText(), "1000");

    // Choosing the unit already chosen keeps the number.
    m_form.SizeFilterSpinEdit()->SetValue(300);
    m_form.UnitButton(0)->click();
    EXPECT_EQ(FieldText(), "300");

    // What the user leaves, by Cancel too, is what the next showing presents.
    ASSERT_TRUE(ShowActive(m_form));
    m_form.UnitButton(1)->click();
    Type("7");
    m_form.SizeCancelButton()->click();
    EXPECT_EQ(m_form.result(), QDialog::Rejected);
    ASSERT_TRUE(ShowActive(m_form));
    EXPECT_EQ(FieldText(), "7");
    EXPECT_TRUE(m_form.UnitButton(1)->isChecked());
    EXPECT_EQ(m_form.SizeThreshold(), 7 * 1048576);
    m_form.reject();
}
