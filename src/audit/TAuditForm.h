// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audit/RestoreCommand.h"
#include "platform/LocaleSettings.h"
#include "print/PrintServices.h"

#include <QMainWindow>
#include <QTimer>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class HelpViewer;
class MessageBoxes;
class PrintJob;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TOvcController;
class TOvcTextFileViewer;

// The audit report window: shows a text file (normally the audit log) read-only, searches it, prints
// it and brings the files of its lines back from the trash. It loads only when the user chooses Open;
// the Audit Report command of the main window fills in the log's path and shows the window, which is
// not modal. Closing it only hides it.
class TAuditForm : public QMainWindow
{
public:
    TAuditForm(MessageBoxes& messages, HelpViewer& help, const PrintServices& printing, LocaleSettings locale,
               QWidget* parent = nullptr);
    ~TAuditForm() override;

    // The program directory, where the help file is; the caller sets it before showing the window.
    const std::string& ProgramDir() const { return m_programDir; }
    void SetProgramDir(const std::string& programDir) { m_programDir = programDir; }

    // Puts path (bytes, as the filesystem spells them) into the file name field; Open opens those very
    // bytes, also where they are not UTF-8.
    void SetFileName(const std::string& path);

    // The file picked in the open dialog, or an empty text when it was cancelled. Tests replace it.
    std::function<QString()> PickFile;
    // What Restore runs; tests give it a trash and a clock of their own.
    void SetRestoreCommand(RestoreCommand command) { m_restoreCommand = std::move(command); }
    // From Restore until the box at its end.
    bool Restoring() const { return m_restoring; }

    static constexpr int kCountInterval = 250; // ms between updates of the count during a restore

    TOvcTextFileViewer* AuditMemo() const { return m_auditMemo; }
    QLineEdit* AuditFileNameEdit() const { return m_auditFileNameEdit; }
    QLineEdit* AuditSearchEdit() const { return m_auditSearchEdit; }
    QLabel* StatusPanel() const { return m_statusPanel; }

    void Exit1Click();
    void AuditSearchButtonClick();
    void AuditSearchEditChange();
    void AuditHelpButtonClick();
    void HelpTopics1Click() { AuditHelpButtonClick(); }
    void AuditPrintButtonClick();
    void AuditOpenButtonClick();
    void AuditFileNameEditChange();
    void AuditBrowseButtonClick();
    void Print1Click() { AuditPrintButtonClick(); }
    // Restore, for the audit line under the caret or every line of the highlight: the files they name
    // come back from the trash on a thread of its own, while the window counts them in the status bar;
    // the viewer's file is loaded again afterwards and one box tells what came back and what did not.
    // The program directory's audit log gets a " (Restored)" line for each. Lines of files restored
    // before and lines that are no audit lines are skipped, and the box says so.
    void AuditRestoreButtonClick();
    void Restore1Click() { AuditRestoreButtonClick(); }
    // Esc and the Stop button during a restore: it ends after the current file.
    void StopRestore();

private:
    void FormCreate();
    void BuildMenus();
    QWidget* BuildToolPanel();
    QWidget* BuildFilePanel();
    void BuildViewer();
    void BuildStatusBar();
    void SetViewerControlsEnabled(bool enabled);
    void SetRestoring(bool restoring);
    void ShowRestoreCount();
    void RestoreFinished(const RestoreOutcome& outcome);
    // Loads the viewer's file again, keeping the caret, the highlight and the scroll position.
    void Reload();

    MessageBoxes& m_messages;
    HelpViewer& m_help;
    std::unique_ptr<PrintJob> m_printJob; // AuditLinePrinter with AuditPrintDialog
    std::shared_ptr<TOvcController> m_controller;
    std::string m_programDir;
    LocaleSettings m_locale;
    RestoreCommand m_restoreCommand;
    RestoreRequest m_restoreRequest;
    bool m_restoring = false;
    std::atomic<std::size_t> m_restoreSettled{0}; // files the restore has dealt with so far
    QTimer m_restoreTimer;

    QAction* m_print1 = nullptr;
    QAction* m_restore1 = nullptr;
    QAction* m_stopRestore = nullptr;
    QWidget* m_toolPanel = nullptr;
    QWidget* m_filePanel = nullptr;
    QToolButton* m_auditRestoreButton = nullptr;
    QPushButton* m_stopButton = nullptr;
    QToolButton* m_auditOpenButton = nullptr;
    QToolButton* m_auditPrintButton = nullptr;
    QToolButton* m_auditHelpButton = nullptr;
    QToolButton* m_auditSearchButton = nullptr;
    QLabel* m_auditSearchLabel = nullptr;
    QLineEdit* m_auditSearchEdit = nullptr;
    QLineEdit* m_auditFileNameEdit = nullptr;
    QPushButton* m_auditBrowseButton = nullptr;
    TOvcTextFileViewer* m_auditMemo = nullptr;
    QLabel* m_statusPanel = nullptr;
    // Last, so that it is stopped and joined before anything it uses goes.
    std::jthread m_restoreThread;
};
