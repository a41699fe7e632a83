// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

class HelpViewer;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class StatusBarPanel;
class TSpinEdit;

// The "Report Files Larger Than..." dialog: a number and its unit, kilobytes or megabytes, for the
// larger-than report. Created once and never reset: each showing presents what the user left at the
// last one, whether that showing ended with Go or Cancel.
class TSizeForm : public QDialog
{
public:
    explicit TSizeForm(HelpViewer& help, QWidget* parent = nullptr);

    // The smallest size in bytes of a reported file: the field's value, brought into the unit's
    // range, times the unit.
    std::int64_t SizeThreshold() const;
    // 0 for Kilobytes, 1 for Megabytes.
    int UnitIndex() const;
    // The folder of the help file; the caller sets it before each showing.
    const std::string& ProgramDir() const { return m_programDir; }
    void SetProgramDir(std::string programDir) { m_programDir = std::move(programDir); }

    TSpinEdit* SizeFilterSpinEdit() const { return m_sizeFilterSpinEdit; }
    QLabel* SizeFilterLabel() const { return m_sizeFilterLabel; }
    QGroupBox* SizeFilterRadioGroup() const { return m_sizeFilterRadioGroup; }
    QRadioButton* UnitButton(int index) const { return m_unitButtons[index]; }
    QPushButton* SizeGoButton() const { return m_sizeGoButton; }
    QPushButton* SizeCancelButton() const { return m_sizeCancelButton; }
    QPushButton* SizeHelpButton() const { return m_sizeHelpButton; }
    StatusBarPanel* StatusPanel() const { return m_statusPanel; }

    // Handlers.
    void SizeCancelButtonClick();
    void SizeFilterRadioGroupClick();
    void SizeHelpButtonClick();

    // Closing by Go with the focus still in the field (Enter) clamps the number as leaving it would.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    HelpViewer& m_help;
    std::string m_programDir;

    StatusBarPanel* m_statusPanel = nullptr;
    TSpinEdit* m_sizeFilterSpinEdit = nullptr;
    QLabel* m_sizeFilterLabel = nullptr;
    QGroupBox* m_sizeFilterRadioGroup = nullptr;
    QButtonGroup* m_unitGroup = nullptr;
    QRadioButton* m_unitButtons[2] = {};
    QPushButton* m_sizeGoButton = nullptr;
    QPushButton* m_sizeCancelButton = nullptr;
    QPushButton* m_sizeHelpButton = nullptr;
};
