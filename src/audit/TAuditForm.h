// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LocaleSettings.h"
#include "print/PrintServices.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>

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

// The audit report window: shows a text file (normally the audit log) read-only, searches it and prints
// it. It loads only when the user chooses Open; the Audit Report command of the main window fills in
// the log's path and shows the window, which is not modal. Closing it only hides it.
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

private:
    void FormCreate();
    void BuildMenus();
    QWidget* BuildToolPanel();
    QWidget* BuildFilePanel();
    void BuildViewer();
    void BuildStatusBar();
    void SetViewerControlsEnabled(bool enabled);

    MessageBoxes& m_messages;
    HelpViewer& m_help;
    std::unique_ptr<PrintJob> m_printJob; // AuditLinePrinter with AuditPrintDialog
    std::shared_ptr<TOvcController> m_controller;
    std::string m_programDir;

    QAction* m_print1 = nullptr;
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
};
