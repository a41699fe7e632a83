// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audit/DeleteCommand.h"
#include "audit/RecycleBin.h"
#include "main/ActivationTipRule.h"
#include "main/ContentColumn.h"
#include "main/HomePageLink.h"
#include "main/MainServices.h"
#include "main/TipSchedule.h"
#include "print/PrintServices.h"
#include "scan/ResultTable.h"
#include "ui/HelpCommands.h"
#include "ui/StatusBarPanel.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class LinkLabel;
class MenuShortcutFilter;
class PrintJob;
class QAction;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class QWindow;
class ContentCompareController;
class MarkCommands;
class ReportRunController;
class StatusTipFilter;
class TAboutForm;
class TAuditForm;
class TDrivesForm;
class TOvcController;
class TOvcCustomVirtualListBox;
class TOvcVirtualListbox;
class TSizeForm;
class TTipForm;
class TrashRunController;

// The window the user sees first: toolbar, menus, mask and drives fields, the result list, the two
// links and the status bar. It holds the program-wide state of a session (program directory, drive
// list, result table, tip counter); every user action is one of its handlers.
class TMainForm : public QMainWindow
{
public:
    explicit TMainForm(MainServices services, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The windows created after this one; commands that need a missing one do nothing.
    void SetAboutForm(TAboutForm* aboutForm) { m_aboutForm = aboutForm; }
    void SetTipForm(TTipForm* tipForm) { m_tipForm = tipForm; }
    // The audit report window, which also joins the windows whose status bars show hints.
    void SetAuditForm(TAuditForm* auditForm);
    // The printer of the program; without it Print does nothing.
    void SetPrinting(const PrintServices& printing);
    // The two dialogs also show hints in their status bars.
    void SetDrivesForm(TDrivesForm* drivesForm);
    void SetSizeForm(TSizeForm* sizeForm);
    // A window with a status bar whose panel 0 shows the hints of its own controls. The main window
    // is the first; the others join in the order they are added. Non-modal ones count as
    // the program's own windows when the main window is activated again (a tip is due then).
    void AddStatusBarWindow(QWidget* window, QLabel* panel0);

    // Shows a modal window and returns its result; tests replace it so that nobody has to answer.
    std::function<int(QDialog& dialog)> RunModal;

    // State of the session.
    const std::string& ProgramDir() const { return m_programDir; }
    const std::vector<std::string>& DriveList() const { return m_driveList; }
    const std::string& DrivesSummary() const { return m_drivesSummary; }
    int TipCounter() const { return m_tipSchedule.TipCounter(); }
    std::int64_t SizeThreshold() const { return m_sizeThreshold; }
    ResultTable& Table() { return *m_table; }
    // The content classes of the report on screen, once Compare Contents has run on it; a new report
    // clears them, and Delete keeps them sound (ContentColumn::rowDeleted).
    const ContentColumn& Content() const { return m_content; }
    // The report run of the three report commands; while it runs, commands are refused.
    ReportRunController& ReportRun() { return *m_reportRun; }
    // Compare Contents; while it runs, commands are refused as well.
    ContentCompareController& ContentCompare() { return *m_compare; }
    // Delete with marks and Undo Delete; while one runs, commands are refused as well.
    TrashRunController& TrashRuns() { return *m_trashRuns; }

    // Controls, for the commands of later windows and for tests.
    TOvcVirtualListbox* ListBox() const { return m_listBox; }
    StatusBarPanel* StatusPanel(int index) const { return index == 0 ? m_statusPanel0 : m_statusPanel1; }
    QComboBox* MaskComboBox() const { return m_maskComboBox; }
    QLineEdit* DrivesEdit() const { return m_drivesEdit; }
    QMenu* PopupMenu() const { return m_popupMenu; }
    // "1,234 marked (5.6 GB)" while rows are marked and no run is under way; hidden otherwise.
    StatusBarPanel* MarksPanel() const { return m_marksPanel; }

    // Handlers.
    // Shows hint in panel 0 of window, when that is one of the status bar windows.
    void DoHint(const QWidget* window, const QString& hint);
    void FormActivate();
    void MaybeShowTip();

    void DrivesSpeedButtonClick();
    void DeleteSpeedButtonClick();
    void PrintSpeedButtonClick();
    void DupesSpeedButtonClick();
    void SizeSpeedButtonClick();
    void ZeroSpeedButtonClick();
    void HelpSpeedButtonClick();
    void ContactSpeedButtonClick();
    void AboutSpeedButtonClick();
    void FAQSpeedButtonClick();
    void NewFeatureSpeedButtonClick();
    void DQCSpeedButtonClick();

    void SelectDrives1Click() { DrivesSpeedButtonClick(); }
    void PrintReport1Click() { PrintSpeedButtonClick(); }
    void DeleteFile1Click() { DeleteSpeedButtonClick(); }
    void UndoDelete1Click();
    void Exit1Click();
    void DuplicateFiles1Click() { DupesSpeedButtonClick(); }
    void SizeCriteria1Click() { SizeSpeedButtonClick(); }
    void ZeroLengthFiles1Click() { ZeroSpeedButtonClick(); }
    void ViewAuditReport1Click();
    void CompareContents1Click();
    void MarkCopies1Click();
    void MarkAllInGroup1Click();
    void UnmarkAll1Click();
    void CorvaneHomepage1Click() { Label1Click(); }
    void DataQualityControl2Click() { DQCSpeedButtonClick(); }
    void NewFeatureSubmission1Click() { NewFeatureSpeedButtonClick(); }
    void HelpTopics1Click() { HelpSpeedButtonClick(); }
    void About1Click() { AboutSpeedButtonClick(); }
    void FrequentlyAskedQuestions1Click() { FAQSpeedButtonClick(); }
    void ContactInformation1Click() { ContactSpeedButtonClick(); }
    void ShowDataQualityControlTips1Click();

    void Delete1Click() { DeleteSpeedButtonClick(); }
    void DuplicateReport1Click() { DupesSpeedButtonClick(); }
    void SizeReport1Click() { SizeSpeedButtonClick(); }
    void ZerolengthReport1Click() { ZeroSpeedButtonClick(); }
    void CompareContents2Click() { CompareContents1Click(); }
    void MarkCopies2Click() { MarkCopies1Click(); }
    void MarkAllInGroup2Click() { MarkAllInGroup1Click(); }
    void UnmarkAll2Click() { UnmarkAll1Click(); }
    void DataQualityControl1Click() { DQCSpeedButtonClick(); }
    void ShowTips1Click() { ShowDataQualityControlTips1Click(); }

    void Label1Click();
    void Label4Click();

    void ListBoxClick(TOvcCustomVirtualListBox* sender);
    void ListBoxGetItem(TOvcCustomVirtualListBox* sender, int index, QString& itemString);
    void ListBoxGetItemStatus(TOvcCustomVirtualListBox* sender, int index, bool& protect);
    // Keeps deleted rows unmarked, and the marks section and the commands following the marks.
    void ListBoxMarksChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class MainMenus;

    struct StatusBarWindow
    {
        QPointer<QWidget> window;
        QPointer<QLabel> panel0;
    };

    void FormCreate();
    // A report run or Compare Contents is under way.
    bool Busy() const;
    // The handler as the window's buttons, menu items and links call it: while busy only Exit is
    // taken. The run holds back the user's input, but a screen reader's press action reaches a
    // button or a menu item without any input event.
    std::function<void()> Command(void (TMainForm::*handler)());
    QWidget* BuildToolbar();
    QWidget* BuildFieldsPanel();
    QWidget* BuildLinkPanel();
    void BuildListBox();
    void BuildStatusBar();
    void ShowNextTip();
    void SetDeleteEnabled(bool enabled);
    void SetPrintEnabled(bool enabled);
    void UpdateCommandsEnabled();
    MarkCommands Marking() const;
    // Marks or unmarks rows (ascending) with one change of the marks section.
    void SetRowsMarked(const std::vector<int>& rows, bool marked);
    // Delete with marks: one question, then the run.
    void DeleteMarked();
    // The files of rows went to the trash, their audit lines on the disk; or they came back.
    void RowsDeleted(const std::vector<int>& rows);
    void RowsRestored(const std::vector<int>& rows);
    // The report on screen went, or another is shown: no classes, and Compare Contents follows.
    void ReportChanged();
    // The list's header and rows follow the content column.
    void ShowContentColumn();
    void FocusWindowChanged(QWindow* window);

    MainServices m_services;
    HomePageLink m_homePage;
    std::unique_ptr<HelpCommands> m_help; // needs ProgramDir, known once FormCreate ran
    TipSchedule m_tipSchedule;
    ActivationTipRule m_activationRule;
    // Shared with a content check, which reads it on its own thread.
    std::shared_ptr<ResultTable> m_table;
    ContentColumn m_content;

    std::string m_programDir;
    std::vector<std::string> m_driveList;
    std::string m_drivesSummary;
    std::int64_t m_sizeThreshold = 0;

    RecycleBin m_recycleBin;
    DeleteCommand m_deleteCommand;
    std::unique_ptr<PrintJob> m_printJob; // LinePrinter with PrintDialog1

    TAboutForm* m_aboutForm = nullptr;
    TTipForm* m_tipForm = nullptr;
    TAuditForm* m_auditForm = nullptr;
    TDrivesForm* m_drivesForm = nullptr;
    TSizeForm* m_sizeForm = nullptr;
    std::vector<StatusBarWindow> m_statusBarWindows;
    StatusTipFilter* m_statusTipFilter = nullptr;
    MenuShortcutFilter* m_shortcutFilter = nullptr;
    std::shared_ptr<TOvcController> m_controller;

    QToolButton* m_deleteSpeedButton = nullptr;
    QToolButton* m_printSpeedButton = nullptr;
    QAction* m_printReport1 = nullptr;
    QAction* m_deleteFile1 = nullptr;
    QAction* m_delete1 = nullptr;
    QAction* m_compareContents1 = nullptr;
    QAction* m_compareContents2 = nullptr;
    QAction* m_undoDelete1 = nullptr;
    // The marking commands: the Reports menu's, then the popup menu's.
    QAction* m_markCopies[2] = {};
    QAction* m_markAllInGroup[2] = {};
    QAction* m_unmarkAll[2] = {};
    QComboBox* m_maskComboBox = nullptr;
    QLineEdit* m_drivesEdit = nullptr;
    LinkLabel* m_label1 = nullptr;
    LinkLabel* m_label4 = nullptr;
    TOvcVirtualListbox* m_listBox = nullptr;
    QMenu* m_popupMenu = nullptr;
    StatusBarPanel* m_statusPanel0 = nullptr;
    StatusBarPanel* m_statusPanel1 = nullptr;
    StatusBarPanel* m_marksPanel = nullptr;
    bool m_settingMarks = false; // SetRowsMarked at work: one change at its end
    std::unique_ptr<ReportRunController> m_reportRun;
    std::unique_ptr<ContentCompareController> m_compare;
    std::unique_ptr<TrashRunController> m_trashRuns;
};
