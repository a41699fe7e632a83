// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class DriveProbe;
class FolderChooser;
class HelpViewer;
class QLabel;
class QListWidget;
class QPushButton;
class StatusBarPanel;

// The "Drives" dialog: the roots a report walks, re-detected from the mounted filesystems, pruned
// with Disable or extended with a folder of the user's choice. Shown modally by the main window's
// Drives command, which fills it before and reads it after; it changes nothing outside itself.
class TDrivesForm : public QDialog
{
public:
    TDrivesForm(DriveProbe& probe, FolderChooser& folders, HelpViewer& help, QWidget* parent = nullptr);

    // Empties the list and puts roots into it, each once, in byte order.
    void SetDrives(const std::vector<std::string>& roots);
    // The list's roots, in list order.
    std::vector<std::string> Drives() const;
    // The folder of the help file; the caller sets it before each showing.
    const std::string& ProgramDir() const { return m_programDir; }
    void SetProgramDir(std::string programDir) { m_programDir = std::move(programDir); }

    QListWidget* DrivesListBox() const { return m_drivesListBox; }
    QPushButton* DetectButton() const { return m_detectButton; }
    QPushButton* DisableButton() const { return m_disableButton; }
    QPushButton* AddButton() const { return m_addButton; }
    QPushButton* DrivesHelp() const { return m_drivesHelp; }
    QPushButton* DrivesOKButton() const { return m_drivesOKButton; }
    QPushButton* DrivesCancelButton() const { return m_drivesCancelButton; }
    StatusBarPanel* StatusPanel() const { return m_statusPanel; }

    // Handlers.
    void DisableButtonClick();
    void DrivesListBoxClick();
    void DetectButtonClick();
    void DrivesCancelButtonClick();
    void DrivesHelpClick();
    void AddButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void AddRoot(const std::string& root);

    DriveProbe& m_probe;
    FolderChooser& m_folders;
    HelpViewer& m_help;
    std::string m_programDir;

    QListWidget* m_drivesListBox = nullptr;
    QPushButton* m_detectButton = nullptr;
    QPushButton* m_disableButton = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_drivesHelp = nullptr;
    QPushButton* m_drivesOKButton = nullptr;
    QLabel* m_label1 = nullptr;
    QPushButton* m_drivesCancelButton = nullptr;
    StatusBarPanel* m_statusPanel = nullptr;
};
