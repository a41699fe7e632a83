// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/TMainForm.h"
#include "info/TAboutForm.h"
#include "info/TTipForm.h"
#include "platform/DriveProbe.h"
#include "platform/FakeProgramLauncher.h"
#include "platform/ProgramDir.h"
#include "platform/RecordingHelpViewer.h"
#include "platform/RecordingMessageBoxes.h"
#include "scan/RowForms.h"
#include "widgets/TOvcVirtualListbox.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using Shown = RecordingMessageBoxes::Shown;

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
    QLineEdit* field = new QLineEdit(&window);
    StatusBarWindow()
    {
        window.resize(200, 100);
        field->move(0, 40);
        field->setStatusTip(QStringLiteral("Text to find"));
    }
};

void SendStatusTip(QWidget* widget)
{
    QStatusTipEvent tip(widget->statusTip());
    QApplication::sendEvent(widget, &tip);
}

} // namespace

TEST_F(MainFormTest, ToolbarButtonsInOrderWithSeparatorsCaptionsAndHints)
{
    struct Expected
    {
        const char* name;
        const char* caption;
        const char* tip;
        const char* status;
        bool enabled;
    };
    const std::vector<Expected> expected = {
        {"DrivesSpeedButton", "Drives", "Connected Drives",
         "Select connected drives which will be included in dusting", true},
        {"DeleteSpeedButton", "Delete", "Delete File", "Delete selected file from report", false},
        {"PrintSpeedButton", "Print", "Print Report", "Send results of dusting to connected printer", false},
        {nullptr, "|", "", "", true},
        {"DupesSpeedButton", "Dupes", "Duplicate File Report",
         "Perform dusting to find all duplicate files on connected drives", true},
        {"SizeSpeedButton", "Size", "Size Criteria Report",
         "Perform dusting to find all files larger than selected size", true},
        {"ZeroSpeedButton", "Zero", "Zero-Length Report", "Perform dusting to find all files of size zero",
         true},
        {nullptr, "|", "", "", true},
        {"HelpSpeedButton", "Help", "Help Topics", "Display help topics", true},
        {"ContactSpeedButton", "Contact", "Contact Information", "How to contact Corvane", true},
        {"AboutSpeedButton", "About", "About Lintwick", "Lintwick version information", true},
        {"FAQSpeedButton", "FAQs", "Frequently Asked Questions",
         "See the answers to frequently asked questions", true},
        {nullptr, "|", "", "", true},
        {"NewFeatureSpeedButton", "New", "New Feature Submission", "Suggest a new feature for Lintwick",
         true},
        {"DQCSpeedButton", "DQC", "Data Quality Control", "How to clean the data in your databases", true},
    };
    const QLayout* layout = m_form.findChild<QFrame*>(QStringLiteral("ToolbarPanel"))->layout();
    size_t next = 0;
    for (int i = 0; i < layout->count(); ++i) {
        QWidget* widget = layout->itemAt(i)->widget();
        if (!widget)
            continue;
        ASSERT_LT(next, expected.size());
        const Expected& e = expected[next++];
        if (!e.name) {
            EXPECT_NE(qobject_cast<QFrame*>(widget), nullptr) << "separator " << next;
            continue;
        }
        auto* button = qobject_cast<QToolButton*>(widget);
        ASSERT_NE(button, nullptr) << e.name;
        SCOPED_TRACE(e.name);
        EXPECT_EQ(button->objectName().toStdString(), e.name);
        EXPECT_EQ(button->text().toStdString(), e.caption);
        EXPECT_EQ(button->toolTip().toStdString(), e.tip);
        EXPECT_EQ(button->statusTip().toStdString(), e.status);
        EXPECT_EQ(button->isEnabled(), e.enabled);
        EXPECT_EQ(button->size(), QSize(50, 39));
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_FALSE(button->icon().isNull());
        // Screen readers name each button by its caption.
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->text(QAccessible::Name).toStdString(), e.caption);
    }
    EXPECT_EQ(next, expected.size());
}

TEST_F(MainFormTest, MenusWithCaptionsShortcutsHintsAndStartingStates)
{
    struct Expected
    {
        const char* name;
        const char* caption;
        const char* shortcut;
        const char* status;
        bool enabled;
    };
    const std::vector<std::pair<const char*, std::vector<Expected>>> menus = {
        {"&File",
         {{"SelectDrives1", "Select &Drives...", "Ctrl+S",
           "Select connected drives which will be included in dusting", true},
          {"PrintReport1", "&Print Report", "Ctrl+P", "Send results of scan to connected printer", false},
          {"DeleteFile1", "&Delete File", "", "Delete selected file from report", false},
          {"Exit1", "E&xit", "", "Exit Lintwick application", true}}},
        {"&Reports",
         {{"DuplicateFiles1", "&Duplicate Files...", "",
           "Perform dusting to find all duplicate files on connected drives", true},
          {"SizeCriteria1", "&Size Criteria...", "",
           "Perform dusting to find all files larger than selected size", true},
          {"ZeroLengthFiles1", "&Zero-Length Files...", "", "Perform dusting to find all files of size zero",
           true},
          {nullptr, "", "", "", true},
          {"ViewAuditReport1", "Audit Report", "Ctrl+A",
           "Displays audit report listing all files that have been deleted", true}}},
        {"&Corvane",
         {{"CorvaneHomepage1", "Corvane &Homepage", "", "Launch web browser and visit Corvane homepage",
           true},
          {"DataQualityControl2", "Data Quality Control...", "", "How to clean the data in your databases",
           true}}},
        {"&Help",
         {{"HelpTopics1", "Help &Topics...", "Ctrl+H", "Display help topics", true},
          {"About1", "&About Lintwick...", "", "Lintwick version information", true},
          {"FrequentlyAskedQuestions1", "Frequently Asked Questions...", "Ctrl+F",
           "See the answers to frequently asked questions", true},
          {"ContactInformation1", "&Contact Information...", "", "How to contact Corvane", true},
          {"ShowDataQualityControlTips1", "&Show Data Quality Control Tips", "Ctrl+T",
           "Display window with data quality control tips", true}}},
    };
    const QList<QAction*> bar = m_form.menuBar()->actions();
    ASSERT_EQ(bar.size(), static_cast<qsizetype>(menus.size()));
    for (size_t m = 0; m < menus.size(); ++m) {
        EXPECT_EQ(bar[m]->text().toStdString(), menus[m].first);
        const QList<QAction*> items = bar[m]->menu()->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(menus[m].second.size())) << menus[m].first;
        for (qsizetype i = 0; i < items.size(); ++i) {
            const Expected& e = menus[m].second[static_cast<size_t>(i)];
            if (!e.name) {
                EXPECT_TRUE(items[i]->isSeparator());
                continue;
            }
            SCOPED_TRACE(e.name);
            EXPECT_EQ(items[i]->objectName().toStdString(), e.name);
            EXPECT_EQ(items[i]->text().toStdString(), e.caption);
            EXPECT_EQ(items[i]->shortcut().toString().toStdString(), e.shortcut);
            EXPECT_EQ(items[i]->statusTip().toStdString(), e.status);
            EXPECT_EQ(items[i]->isEnabled(), e.enabled);
        }
    }
    EXPECT_EQ(Action("PrintReport1")->toolTip().toStdString(), "Print Report");
    EXPECT_EQ(Action("ViewAuditReport1")->toolTip().toStdString(), "View Delete Log");

    std::vector<std::string> popup;
    for (QAction* item : m_form.PopupMenu()->actions())
        popup.push_back(item->isSeparator() ? "-" : item->text().toStdString());
    EXPECT_EQ(popup, (std::vector<std::string>{"Delete", "-", "Duplicate Files...", "Size Criteria...",
                                               "Zero-Length Files...", "-", "Data Quality Control...",
                                               "Show Tips..."}));
    EXPECT_FALSE(Action("Delete1")->isEnabled());
}

TEST_F(MainFormTest, FieldsListAndStatusBarAtStartUp)
{
    QComboBox* mask = m_form.MaskComboBox();
    ASSERT_EQ(mask->count(), 39);
    EXPECT_EQ(mask->itemText(0), "*.*");
    EXPECT_EQ(mask->itemText(20), "*.pcx");
    EXPECT_EQ(mask->itemText(38), "*.xls");
    EXPECT_TRUE(mask->isEditable());
    EXPECT_EQ(mask->currentText(), "*.*");
    EXPECT_EQ(mask->lineEdit()->maxLength(), 15);
    EXPECT_EQ(mask->maxVisibleItems(), 24);
    EXPECT_EQ(mask->toolTip(), "File Mask");
    EXPECT_EQ(mask->statusTip(), "Filter in only desired file types");

    // The drives found at start-up and their summary.
    EXPECT_EQ(m_form.DriveList(), (std::vector<std::string>{"/", "/boot/", "/home/"}));
    EXPECT_EQ(m_form.DrivesSummary(), "/ /boot /home");
    EXPECT_EQ(m_form.DrivesEdit()->text(), "/ /boot /home");
    EXPECT_TRUE(m_form.DrivesEdit()->isReadOnly());
    EXPECT_EQ(m_form.DrivesEdit()->width(), 228);
    EXPECT_EQ(m_form.ProgramDir(), CurrentProgramDir());
    EXPECT_EQ(m_form.TipCounter(), 0);
    EXPECT_EQ(m_form.SizeThreshold(), 0);

    // Both fields are named by their labels.
    for (QLabel* label : m_form.findChildren<QLabel*>()) {
        if (label->text() == "Mask:") {
            EXPECT_EQ(label->buddy(), mask);
        }
        if (label->text() == "Drives:") {
            EXPECT_EQ(label->buddy(), m_form.DrivesEdit());
        }
    }
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(m_form.DrivesEdit())
                    ->text(QAccessible::Name)
                    .contains("Drives"));

    TOvcVirtualListbox* list = m_form.ListBox();
    EXPECT_EQ(list->Header().toStdString(), kResultListHeader);
    EXPECT_TRUE(list->ShowHeader());
    EXPECT_EQ(list->NumItems(), 0);
    EXPECT_EQ(list->ScrollBars(), TScrollStyle::ssBoth);

    EXPECT_EQ(m_form.StatusPanel(0)->text(), "Lintwick");
    // At least its designed width, and no long hint of the window is cut.
    QLabel* panel0 = m_form.StatusPanel(0);
    EXPECT_GE(panel0->width(), 350);
    for (const QAction* action : m_form.findChildren<QAction*>())
        EXPECT_LT(panel0->fontMetrics().horizontalAdvance(action->statusTip()), panel0->width());
    EXPECT_TRUE(m_form.StatusPanel(0)->accessibleName().isEmpty());
    EXPECT_TRUE(m_form.StatusPanel(1)->text().isEmpty());
    EXPECT_TRUE(m_form.windowTitle().startsWith("Lintwick"));
    EXPECT_EQ(m_form.size(), QSize(609, 421));
}

TEST_F(MainFormTest, HintsReachPanelZeroOfTheActiveWindowOnly)
{
    m_form.RunModal = [](QDialog&) { return 0; };
    ASSERT_TRUE(ShowAndActivate(m_form));

    SendStatusTip(Button("DupesSpeedButton"));
    EXPECT_EQ(m_form.StatusPanel(0)->text(),
              "Perform dusting to find all duplicate files on connected drives");
    EXPECT_EQ(Button("DupesSpeedButton")->toolTip(), "Duplicate File Report");

    // Highlighting a menu item shows its own long hint.
    Action("PrintReport1")->showStatusText(m_form.menuBar());
    EXPECT_EQ(m_form.StatusPanel(0)->text(), "Send results of scan to connected printer");

    // Resting on something without a hint empties the panel.
    SendStatusTip(m_form.ListBox());
    EXPECT_EQ(m_form.StatusPanel(0)->text(), "");

    StatusBarWindow other;
    m_form.AddStatusBarWindow(&other.window, other.panel0);
    SendStatusTip(Button("SizeSpeedButton"));
    ASSERT_TRUE(ShowAndActivate(other.window));
    SendStatusTip(other.field);
    EXPECT_EQ(other.panel0->text(), "Text to find");
    EXPECT_EQ(m_form.StatusPanel(0)->text(), "Perform dusting to find all files larger than selected size");
    // Even a hint from a main window control goes to the active window's panel.
    SendStatusTip(Button("ZeroSpeedButton"));
    EXPECT_EQ(other.panel0->text(), "Perform dusting to find all files of size zero");
    EXPECT_EQ(m_form.StatusPanel(0)->text(), "Perform dusting to find all files larger than selected size");
}

TEST_F(MainFormTest, ReportCommandsShowATipOnTheFirstFourthAndSeventh)
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
}

TEST_F(MainFormTest, ShowTipsCommandsShowTheNextTipEveryTime)
{
    const int first = m_tipForm.TipIndex();
    Action("ShowDataQualityControlTips1")->trigger();
    Action("ShowTips1")->trigger();
    Action("ShowDataQualityControlTips1")->trigger();
    EXPECT_EQ(TipsShown(), 3);
    EXPECT_EQ(m_tipForm.TipIndex(), (first + 3) % 16);
    EXPECT_EQ(m_form.TipCounter(), 0); // not report commands
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

TEST_F(MainFormTest, HelpCommandsOpenTheirTopicsInTheProgramDirectoryFile)
{
    const std::string file = m_form.ProgramDir() + "Lintwick.hlp";
    const std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[&] { Button("ContactSpeedButton")->click(); }, "SCRIBBLE90"},
        {[&] { Action("ContactInformation1")->trigger(); }, "SCRIBBLE90"},
        {[&] { Button("FAQSpeedButton")->click(); }, "SCRIBBLE100"},
        {[&] { Action("FrequentlyAskedQuestions1")->trigger(); }, "SCRIBBLE100"},
        {[&] { Button("DQCSpeedButton")->click(); }, "SCRIBBLE230"},
        {[&] { Action("DataQualityControl2")->trigger(); }, "SCRIBBLE230"},
        {[&] { Action("DataQualityControl1")->trigger(); }, "SCRIBBLE230"},
    };
    for (const auto& [command, key] : cases) {
        m_help.requests.clear();
        command();
        EXPECT_EQ(m_help.requests, (std::vector<std::string>{"Contents " + file, "JumpID " + key}));
    }

    m_help.requests.clear();
    Button("HelpSpeedButton")->click();
    Action("HelpTopics1")->trigger();
    EXPECT_EQ(m_help.requests, (std::vector<std::string>{"Finder " + file, "Finder " + file}));

    // A help file the viewer cannot open: no jump.
    m_help.requests.clear();
    m_help.contentsResult = false;
    Button("ContactSpeedButton")->click();
    EXPECT_EQ(m_help.requests, (std::vector<std::string>{"Contents " + file}));
}

TEST_F(MainFormTest, HomePageLinkFallsBackAndReportsWhenNoBrowserIsFound)
{
    m_launcher.results["xdg-open"] = ProgramLauncher::kStarted;
    QLabel* label1 = m_form.findChild<QLabel*>(QStringLiteral("Label1"));
    EXPECT_EQ(label1->toolTip(), "Visit Home Page");
    EXPECT_EQ(label1->statusTip(), "Launch browser and visit Corvane home page");
    QTest::mouseClick(label1, Qt::LeftButton);
    ASSERT_EQ(m_launcher.calls.size(), 1u);
    EXPECT_EQ(m_launcher.calls[0].second, "https://www.corvane.example/");
    EXPECT_TRUE(m_messages.shown.empty());

    m_launcher.calls.clear();
    m_launcher.results = {{"x-www-browser", ProgramLauncher::kStarted}};
    Action("CorvaneHomepage1")->trigger();
    EXPECT_EQ(m_launcher.calls.size(), 2u);
    EXPECT_TRUE(m_messages.shown.empty());

    m_launcher.calls.clear();
    m_launcher.results.clear();
    Action("CorvaneHomepage1")->trigger();
    EXPECT_EQ(m_launcher.calls.size(), 2u);
    EXPECT_EQ(m_messages.shown,
              (std::vector<Shown>{{"beep", ""}, {"Error", "Web browser could not be launched."}}));
}

TEST_F(MainFormTest, NewFeatureAndCleanYourDataMessagesAndTheAboutWindow)
{
    Button("NewFeatureSpeedButton")->click();
    QTest::mouseClick(m_form.findChild<QLabel*>(QStringLiteral("Label4")), Qt::LeftButton);
    ASSERT_EQ(m_messages.shown.size(), 2u);
    EXPECT_EQ(m_messages.shown[0].kind, "Information");
    EXPECT_EQ(m_messages.shown[0].text, "Idea for a new feature? We would like to know about it! Email it to "
                                        "ideas@corvane.example - we will do "
                                        "our best to put it in our next free release.");
    EXPECT_EQ(m_messages.shown[1].kind, "Information");
    EXPECT_EQ(
        m_messages.shown[1].text.rfind("Contact Corvane at (503) 555-0142 in order to receive data quality "
                                       "diagnostic tools at no cost, or to discuss other Corvane",
                                       0),
        0u);
    EXPECT_TRUE(
        m_messages.shown[1].text.ends_with("Remember, a system is only as good as the data within it."));

    Button("AboutSpeedButton")->click();
    Action("About1")->trigger();
    EXPECT_EQ(m_modals, (std::vector<std::string>{"AboutForm", "AboutForm"}));
}

TEST_F(MainFormTest, ListCallbacksEnablePrintAndDeleteButNeverDeleteOnASeparator)
{
    ResultTable& table = m_form.Table();
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

    TOvcVirtualListbox* list = m_form.ListBox();
    list->resize(500, 200);
    list->SetNumItems(table.LastRow() + 1);
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_TRUE(Button("DeleteSpeedButton")->isEnabled());
    EXPECT_TRUE(Action("DeleteFile1")->isEnabled());
    EXPECT_TRUE(Action("Delete1")->isEnabled());

    // Print follows once the list paints its rows.
    EXPECT_FALSE(Button("PrintSpeedButton")->isEnabled());
    list->viewport()->grab();
    EXPECT_TRUE(Button("PrintSpeedButton")->isEnabled());
    EXPECT_TRUE(Action("PrintReport1")->isEnabled());
    EXPECT_EQ(list->ItemText(2).toStdString(), table.RowTexts(2));
    EXPECT_TRUE(list->ItemText(2).endsWith("/b/x.txt"));

    EXPECT_TRUE(list->IsItemProtected(1));
    EXPECT_FALSE(list->IsItemProtected(0));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(list->ItemIndex(), 1);
    EXPECT_FALSE(Button("DeleteSpeedButton")->isEnabled());
    EXPECT_FALSE(Action("DeleteFile1")->isEnabled());
    EXPECT_FALSE(Action("Delete1")->isEnabled());
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_TRUE(Button("DeleteSpeedButton")->isEnabled());

    // An emptied list selects nothing; Print is the run's to switch off, as no row is painted.
    list->SetNumItems(0);
    EXPECT_FALSE(Button("DeleteSpeedButton")->isEnabled());
    EXPECT_FALSE(Action("Delete1")->isEnabled());
}

TEST_F(MainFormTest, ExitClosesTheMainWindow)
{
    m_form.RunModal = [](QDialog&) { return 0; };
    m_form.show();
    Action("Exit1")->trigger();
    EXPECT_FALSE(m_form.isVisible());
}
