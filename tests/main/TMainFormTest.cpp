// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/TMainForm.h"
#include "info/SvgPicture.h"
#include "info/TAboutForm.h"
#include "info/TTipForm.h"
#include "platform/DriveProbe.h"
#include "platform/FakeProgramLauncher.h"
#include "platform/ProgramDir.h"
#include "platform/ProgramLauncher.h"
#include "platform/RecordingHelpViewer.h"
#include "platform/RecordingMessageBoxes.h"
#include "widgets/TOvcVirtualListbox.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class MainFormTest : public ::testing::Test
{
protected:
    MainFormTest()
        : m_drives({"/", "/boot/", "/home/"}),
          m_form(MainServices{m_drives, m_messages, m_launcher, m_help, LocaleSettings::usEnglish()}),
          m_tipForm(0)
    {
        m_form.SetAboutForm(&m_aboutForm);
        m_form.SetTipForm(&m_tipForm);
        m_form.RunModal = [this](QDialog& dialog) {
            m_modals.push_back(dialog.objectName().toStdString());
            return 0;
        };
    }

    int TipsShown() const
    {
        return static_cast<int>(std::count(m_modals.begin(), m_modals.end(), "TipForm"));
    }

    QAction* Action(const char* name) const { return m_form.findChild<QAction*>(QString::fromLatin1(name)); }
    QToolButton* Button(const char* name) const
    {
        return m_form.findChild<QToolButton*>(QString::fromLatin1(name));
    }

    bool ShowAndActivate(QWidget& window)
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

    FixedDriveProbe m_drives;
    RecordingMessageBoxes m_messages;
    FakeProgramLauncher m_launcher;
    RecordingHelpViewer m_help;
    TMainForm m_form;
    TAboutForm m_aboutForm;
    TTipForm m_tipForm;
    std::vector<std::string> m_modals;
};

// A window of a later issue with its own status bar panel, such as the audit report window.
struct StatusBarWindow
{
    QWidget window;
    QLabel* panel0 = new QLabel(&window);
};

// Rows of a duplicates report: /a/x.txt, a separator row, /b/x.txt.
void FillTwoDuplicatesApart(ResultTable& table)
{
    for (const char* directory : {"/a/", "/b/"}) {
        entrytype entry;
        entry.directory = table.addDirectory(directory);
        entry.name = "x.txt";
        entry.size = 1234567;
        table.appendEntry(entry);
    }
    table.addRow(0);
    table.addSeparatorRow();
    table.addRow(1);
}

void SendStatusTip(QWidget* widget)
{
    QStatusTipEvent tip(widget->statusTip());
    QApplication::sendEvent(widget, &tip);
}

} // namespace

TEST_F(MainFormTest, ToolbarGlyphsAreDrawnFromTheirSvgForEveryScale)
{
    const QIcon icon = Button("DupesSpeedButton")->icon();
    const QSize glyph = Button("DupesSpeedButton")->iconSize();
    for (const qreal ratio : {1.0, 1.25, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        const QImage drawn = icon.pixmap(glyph, ratio).toImage();
        // The same picture as the SVG drawn straight at that many pixels: nothing enlarged.
        const QImage direct = SvgPixmap(QStringLiteral(":/main/dupes.svg"), glyph, ratio).toImage();
        ASSERT_EQ(drawn.size(), glyph * ratio);
        EXPECT_EQ(drawn.convertToFormat(QImage::Format_ARGB32),
                  direct.convertToFormat(QImage::Format_ARGB32));
    }
}

TEST_F(MainFormTest, DrivesCommandsAndStatusBarAtStartUp)
{
    EXPECT_EQ(m_form.DriveList(), (std::vector<std::string>{"/", "/boot/", "/home/"}));
    EXPECT_EQ(m_form.DrivesEdit()->text(), "/ /boot /home");
    EXPECT_EQ(m_form.ProgramDir(), CurrentProgramDir());
    // Delete and Print wait for a report.
    for (const char* name : {"DeleteSpeedButton", "PrintSpeedButton"})
        EXPECT_FALSE(Button(name)->isEnabled()) << name;

    // At least its designed width, and no long hint of the window is cut.
    StatusBarPanel* panel0 = m_form.StatusPanel(0);
    EXPECT_EQ(panel0->text(), "Lintwick");
    EXPECT_GE(panel0->width(), 350);
    for (const QAction* action : m_form.findChildren<QAction*>()) {
        panel0->setText(action->statusTip());
        EXPECT_EQ(panel0->ShownText(), action->statusTip());
    }
    EXPECT_TRUE(m_form.StatusPanel(1)->text().isEmpty());
}

TEST_F(MainFormTest, OpensAtItsDesignedSizeWithMenusInTheFontOfTheirBar)
{
    m_form.RunModal = [](QDialog&) { return 0; };
    m_form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_form));
    EXPECT_EQ(m_form.size(), QSize(609, 421)) << "as shown, with the toolbar's buttons in place";
    const QFont barFont = m_form.menuBar()->font();
    EXPECT_EQ(barFont.pointSize(), 8);
    std::vector<QMenu*> menus{m_form.PopupMenu()};
    for (QAction* item : m_form.menuBar()->actions())
        menus.push_back(item->menu());
    for (QMenu* menu : menus) {
        SCOPED_TRACE(menu->title().toStdString());
        EXPECT_EQ(menu->font(), barFont);
    }
}

TEST_F(MainFormTest, HintsGoToPanelZeroOfTheWindowThatHoldsTheControl)
{
    m_form.RunModal = [](QDialog&) { return 0; };
    ASSERT_TRUE(ShowAndActivate(m_form));
    QLabel* panel0 = m_form.StatusPanel(0);
    SendStatusTip(Button("DupesSpeedButton"));
    EXPECT_EQ(panel0->text(), "Perform dusting to find all duplicate files on connected drives");
    // Highlighting a menu item, of the bar or of the pop-up menu, shows its own long hint.
    Action("PrintReport1")->showStatusText(m_form.menuBar());
    EXPECT_EQ(panel0->text(), "Send results of scan to connected printer");
    Action("ShowTips1")->showStatusText();
    EXPECT_EQ(panel0->text(), "Display window with data quality control tips");
    // Resting on something without a hint empties the panel.
    SendStatusTip(m_form.ListBox());
    EXPECT_EQ(panel0->text(), "");

    // The active window does not matter.
    StatusBarWindow other;
    m_form.AddStatusBarWindow(&other.window, other.panel0);
    ASSERT_TRUE(ShowAndActivate(other.window));
    SendStatusTip(Button("ZeroSpeedButton"));
    EXPECT_EQ(panel0->text(), "Perform dusting to find all files of size zero");
    EXPECT_EQ(other.panel0->text(), "");
}

TEST_F(MainFormTest, ReportCommandsShowATipOnTheFirstFourthAndSeventhShowTipsEveryTime)
{
    m_messages.confirmAnswer = false; // every command ends at its question
    std::vector<int> tipsAfter;
    const std::vector<std::function<void()>> commands = {
        [&] { Button("DupesSpeedButton")->click(); },  [&] { Button("SizeSpeedButton")->click(); },
        [&] { Button("ZeroSpeedButton")->click(); },   [&] { Action("DuplicateFiles1")->trigger(); },
        [&] { Action("SizeCriteria1")->trigger(); },   [&] { Action("ZeroLengthFiles1")->trigger(); },
        [&] { Action("DuplicateReport1")->trigger(); }};
    for (const auto& command : commands) {
        command();
        tipsAfter.push_back(TipsShown());
    }
    EXPECT_EQ(tipsAfter, (std::vector<int>{1, 1, 1, 2, 2, 2, 3}));
    EXPECT_EQ(m_form.TipCounter(), 7);

    // The tip commands show the next tip each time and are no report commands.
    const int index = m_tipForm.TipIndex();
    Action("ShowDataQualityControlTips1")->trigger();
    Action("ShowTips1")->trigger();
    EXPECT_EQ(TipsShown(), 5);
    EXPECT_EQ(m_tipForm.TipIndex(), (index + 2) % 16);
    EXPECT_EQ(m_form.TipCounter(), 7);
}

TEST_F(MainFormTest, ActivationShowsATipAtStartUpAndFromANonModalWindowButNotAfterAModal)
{
    ASSERT_TRUE(ShowAndActivate(m_form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return TipsShown() == 1; }));

    StatusBarWindow audit;
    m_form.AddStatusBarWindow(&audit.window, audit.panel0);
    ASSERT_TRUE(ShowAndActivate(audit.window));
    ASSERT_TRUE(ShowAndActivate(m_form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return TipsShown() == 2; }));

    // A modal dialog over the main window, closed once it has become the active window.
    QDialog modal(&m_form);
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, &modal, [&] {
        if (QApplication::activeWindow() == &modal)
            modal.accept();
    });
    closer.start(5);
    modal.exec();
    closer.stop();
    ASSERT_TRUE(ShowAndActivate(m_form));
    QApplication::processEvents();
    EXPECT_EQ(TipsShown(), 2);
    audit.window.hide();
}

TEST_F(MainFormTest, LinksAreLinksToTheKeyboardAndToScreenReaders)
{
    m_launcher.results["xdg-open"] = ProgramLauncher::kStarted;
    m_form.RunModal = [](QDialog&) { return 0; };
    ASSERT_TRUE(ShowAndActivate(m_form));
    for (const char* name : {"Label1", "Label4"}) {
        SCOPED_TRACE(name);
        QLabel* link = m_form.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(link, nullptr);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(link);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->role(), QAccessible::Link);
        EXPECT_EQ(accessible->text(QAccessible::Name), link->text());
        ASSERT_NE(accessible->actionInterface(), nullptr);
        EXPECT_TRUE(
            accessible->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));

        m_form.MaskComboBox()->setFocus();
        const QImage plain = link->grab().toImage();
        for (int presses = 0; presses < 20 && !link->hasFocus(); ++presses)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(link->hasFocus()) << "Tab reaches the link";
        EXPECT_NE(link->grab().toImage(), plain) << "the focused link shows it";
    }
    // A press, a click and the menu item open the home page.
    QLabel* label1 = m_form.findChild<QLabel*>(QStringLiteral("Label1"));
    QAccessible::queryAccessibleInterface(label1)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
    QTest::mouseClick(label1, Qt::LeftButton);
    Action("CorvaneHomepage1")->trigger();
    const std::pair<std::string, std::string> homePage{"xdg-open", "https://www.corvane.example/"};
    EXPECT_EQ(m_launcher.calls, (std::vector<std::pair<std::string, std::string>>(3, homePage)));
    // A press and a click show how to clean your data.
    QLabel* label4 = m_form.findChild<QLabel*>(QStringLiteral("Label4"));
    QAccessible::queryAccessibleInterface(label4)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
    QTest::mouseClick(label4, Qt::LeftButton);
    ASSERT_EQ(m_messages.shown.size(), 2u);
    EXPECT_EQ(m_messages.shown[0], m_messages.shown[1]);
    EXPECT_EQ(m_messages.shown[0].kind, "Information");
}

TEST_F(MainFormTest, ListCallbacksGiveTheRowsAndEnablePrintOnceARowIsPainted)
{
    // Delete's enabling is the acting test's (MainFormActingTest).
    FillTwoDuplicatesApart(m_form.Table());
    TOvcVirtualListbox* list = m_form.ListBox();
    list->resize(500, 200);
    list->SetNumItems(m_form.Table().LastRow() + 1);
    EXPECT_FALSE(Button("PrintSpeedButton")->isEnabled());
    list->viewport()->grab();
    EXPECT_TRUE(Button("PrintSpeedButton")->isEnabled());
    EXPECT_TRUE(Action("PrintReport1")->isEnabled());
    EXPECT_EQ(list->ItemText(2).toStdString(), m_form.Table().RowTexts(2));
    EXPECT_TRUE(list->IsItemProtected(1));
    EXPECT_FALSE(list->IsItemProtected(0));
}

TEST_F(MainFormTest, ADarkDesktopPaletteReachesSeparatorRowsTheHeaderLineAndTheLinks)
{
    const QPalette original = QApplication::palette();
    QPalette dark(QColor(53, 53, 53));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(220, 220, 220));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Link, QColor(130, 180, 250));
    dark.setColor(QPalette::Highlight, QColor(40, 120, 200));
    QApplication::setPalette(dark);
    struct Restore
    {
        QPalette palette;
        ~Restore() { QApplication::setPalette(palette); }
    } restore{original};

    TMainForm form(MainServices{m_drives, m_messages, m_launcher, m_help, LocaleSettings::usEnglish()});
    ResultTable& table = form.Table();
    FillTwoDuplicatesApart(table);
    TOvcVirtualListbox* list = form.ListBox();
    list->resize(500, 200);
    list->SetNumItems(table.LastRow() + 1);
    const QImage image = list->viewport()->grab().toImage();
    const int rowHeight = list->RowHeight();
    for (int x : {5, 200, 480})
        EXPECT_EQ(image.pixelColor(x, 2 * rowHeight + rowHeight / 2), QColor(30, 30, 30))
            << "the separator row is the list's own background at x " << x;
    EXPECT_EQ(image.pixelColor(200, rowHeight - 1), QColor(220, 220, 220)) << "the header's bottom line";

    for (const char* name : {"Label1", "Label4"}) {
        const QLabel* link = form.findChild<QLabel*>(QString::fromLatin1(name));
        EXPECT_EQ(link->palette().color(link->foregroundRole()), QColor(130, 180, 250)) << name;
    }
}

TEST_F(MainFormTest, F1CtrlFAndCtrlQWorkEvenFromTheMaskField)
{
    // The rule for every shortcut is the acting test's (Ctrl+A); F1 and Ctrl+Q are the desktop's extras.
    ASSERT_TRUE(ShowAndActivate(m_form));
    QWidget* mask = m_form.MaskComboBox()->lineEdit();
    mask->setFocus();
    QTest::keyClick(mask, Qt::Key_F1);
    QTest::keyClick(mask, Qt::Key_F, Qt::ControlModifier);
    const std::string file = m_form.ProgramDir() + "Lintwick.hlp";
    EXPECT_EQ(m_help.requests,
              (std::vector<std::string>{"Finder " + file, "Contents " + file, "JumpID SCRIBBLE100"}));
    QTest::keyClick(mask, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(m_form.isVisible());
}
