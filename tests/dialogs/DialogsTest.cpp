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
    m_form.SetDrives({"/srv/", "/"});
    m_form.DrivesListBox()->item(0)->setSelected(true);
    EXPECT_TRUE(m_form.DisableButton()->isEnabled());

    m_form.DetectButton()->click();
    EXPECT_EQ(m_form.Drives(), (Roots{"/", "/home/", "/mnt/usb/"}));
    EXPECT_TRUE(m_form.DrivesListBox()->selectedItems().isEmpty());
    EXPECT_FALSE(m_form.DisableButton()->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DrivesFormTest, DisableKeepsTheLastRootAndHandsTheFocusBackToTheListForEnter)
{
    m_form.SetDrives({"/home/", "/", "/boot/", "/srv/"});
    ASSERT_TRUE(ShowActive(m_form));
    m_form.DrivesListBox()->selectAll();
    m_form.DisableButton()->setFocus();
    QTest::keyClick(m_form.DisableButton(), Qt::Key_Space);
    ASSERT_EQ(m_form.Drives(), (Roots{"/srv/"}));
    EXPECT_FALSE(m_form.DisableButton()->isEnabled()); // nothing selected any more
    m_form.DrivesListBox()->item(0)->setSelected(true);
    EXPECT_FALSE(m_form.DisableButton()->isEnabled()); // the only root

    // Enter accepts the list; it does not press the button next to Disable.
    EXPECT_TRUE(m_form.DrivesListBox()->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(m_form.result(), QDialog::Accepted);

    // Also when taking out the one selected root turns the button off before it is done.
    m_form.SetDrives({"/", "/srv/"});
    ASSERT_TRUE(ShowActive(m_form));
    m_form.DrivesListBox()->item(0)->setSelected(true);
    m_form.DisableButton()->setFocus();
    QTest::keyClick(m_form.DisableButton(), Qt::Key_Space);
    ASSERT_EQ(m_form.Drives(), (Roots{"/srv/"}));
    EXPECT_TRUE(m_form.DrivesListBox()->hasFocus());
}

TEST_F(DrivesFormTest, AddPutsTheChosenFolderIntoTheListOnce)
{
    m_form.SetDrives({"/", "/srv/"});
    // Names are bytes: one that is not UTF-8 comes back as it went in.
    for (const char* answer : {"/home/ann/Down loads", "/home/ann/Down loads", "/data/caf\xe9", ""}) {
        m_folders.answer = answer; // the last: the user cancelled the chooser
        m_form.AddButton()->click();
    }
    EXPECT_EQ(m_form.Drives(), (Roots{"/", "/data/caf\xe9/", "/home/ann/Down loads/", "/srv/"}));
}

TEST(Dialogs, OpenTheirHelpTopicShowEveryHintWholeAndKeepTheirSize)
{
    FixedDriveProbe probe{{}};
    FixedFolderChooser folders;
    RecordingHelpViewer help;
    TDrivesForm drives(probe, folders, help);
    TSizeForm size(help);
    const std::tuple<QDialog*, StatusBarPanel*, QPushButton*, std::string> dialogs[] = {
        {&drives, drives.StatusPanel(), drives.DrivesHelp(), "JumpID SCRIBBLE20"},
        {&size, size.StatusPanel(), size.SizeHelpButton(), "JumpID SCRIBBLE30"}};
    for (auto [dialog, panel, helpButton, topic] : dialogs) {
        SCOPED_TRACE(dialog->windowTitle().toStdString());
        helpButton->click();
        EXPECT_EQ(help.requests.back(), topic);
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

TEST_F(SizeFormTest, TypedNumbersAreClampedWhetherGoIsClickedOrEnterPressed)
{
    ASSERT_TRUE(ShowActive(m_form));
    Type("50");
    QTest::mouseClick(m_form.SizeGoButton(), Qt::LeftButton);
    EXPECT_EQ(FieldText(), "100");
    // Enter closes by Go without leaving the field; the number is clamped all the same.
    ASSERT_TRUE(ShowActive(m_form));
    Type("50000");
    QTest::keyClick(m_form.SizeFilterSpinEdit(), Qt::Key_Return);
    EXPECT_EQ(FieldText(), "20000");
}

TEST_F(SizeFormTest, TheUnitSwitchSetsItsOwnStartingValueAndShowingsKeepTheValues)
{
    m_form.SizeFilterSpinEdit()->SetValue(5000);
    m_form.UnitButton(1)->click();
    EXPECT_EQ(m_form.SizeFilterLabel()->text(), "Megabytes");
    EXPECT_EQ(FieldText(), "1");
    m_form.UnitButton(0)->click();
    EXPECT_EQ(FieldText(), "1000");
    m_form.SizeFilterSpinEdit()->SetValue(300);
    m_form.UnitButton(0)->click();
    EXPECT_EQ(FieldText(), "300") << "choosing the unit already chosen keeps the number";

    // What the user leaves, by Cancel too, is what the next showing presents.
    ASSERT_TRUE(ShowActive(m_form));
    m_form.UnitButton(1)->click();
    Type("7");
    m_form.SizeCancelButton()->click();
    ASSERT_TRUE(ShowActive(m_form));
    EXPECT_EQ(FieldText(), "7");
    EXPECT_TRUE(m_form.UnitButton(1)->isChecked());
    EXPECT_EQ(m_form.SizeThreshold(), 7 * 1048576);
    m_form.reject();
}
