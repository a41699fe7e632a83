// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TSizeForm.h"

#include "dialogs/DialogParts.h"
#include "dialogs/SizeUnits.h"
#include "dialogs/TSpinEdit.h"
#include "ui/HelpCommands.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr const char* kSpinEditHint = "Adjust Size Filter|Adjust size of file to be scanned for";
constexpr const char* kRadioGroupHint = "Choose Size Type|Display size filter in kilobytes or megabytes";
constexpr const char* kGoHint = "Begin Size Report|Scan for all files larger than the displayed size";
constexpr const char* kCancelHint = "Cancel Report|Do not run the size report";
constexpr const char* kHelpHint = "Size Report Help|Display size report help page";
constexpr const char* kHelpTopic = "SCRIBBLE30";

} // namespace

TSizeForm::TSizeForm(HelpViewer& help, QWidget* parent) : QDialog(parent), m_help(help)
{
    setObjectName(QStringLiteral("SizeForm"));
    setWindowTitle(QStringLiteral("Report Files Larger Than..."));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    const SizeUnit& kilobytes = kSizeUnits[kKilobytes];
    m_sizeFilterSpinEdit = new TSpinEdit;
    m_sizeFilterSpinEdit->setObjectName(QStringLiteral("SizeFilterSpinEdit"));
    m_sizeFilterSpinEdit->SetMinValue(kilobytes.minValue);
    m_sizeFilterSpinEdit->SetMaxValue(kilobytes.maxValue);
    m_sizeFilterSpinEdit->SetIncrement(kilobytes.increment);
    m_sizeFilterSpinEdit->SetValue(kilobytes.startValue);
    m_sizeFilterSpinEdit->setFixedWidth(80);
    SetHint(m_sizeFilterSpinEdit, kSpinEditHint);
    m_sizeFilterLabel = new QLabel(QString::fromLatin1(kilobytes.label));
    m_sizeFilterLabel->setObjectName(QStringLiteral("SizeFilterLabel"));
    m_sizeFilterLabel->setBuddy(m_sizeFilterSpinEdit);

    m_sizeFilterRadioGroup = new QGroupBox(QStringLiteral("Show Size Filter As"));
    m_sizeFilterRadioGroup->setObjectName(QStringLiteral("SizeFilterRadioGroup"));
    SetHint(m_sizeFilterRadioGroup, kRadioGroupHint);
    m_unitGroup = new QButtonGroup(this);
    auto* units = new QVBoxLayout(m_sizeFilterRadioGroup);
    for (int index : {kKilobytes, kMegabytes}) {
        m_unitButtons[index] = new QRadioButton(QString::fromLatin1(kSizeUnits[index].label));
        m_unitGroup->addButton(m_unitButtons[index], index);
        units->addWidget(m_unitButtons[index]);
    }
    m_unitButtons[kKilobytes]->setChecked(true);

    m_sizeGoButton = DialogButton("SizeGoButton", "Go", kGoHint);
    m_sizeCancelButton = DialogButton("SizeCancelButton", "Cancel", kCancelHint);
    m_sizeHelpButton = DialogButton("SizeHelpButton", "Help", kHelpHint);
    m_sizeGoButton->setDefault(true);

    auto* field = new QHBoxLayout;
    field->setSpacing(8);
    field->addWidget(m_sizeFilterSpinEdit);
    field->addWidget(m_sizeFilterLabel, 1);
    auto* left = new QVBoxLayout;
    left->setSpacing(8);
    left->addLayout(field);
    left->addWidget(m_sizeFilterRadioGroup);
    left->addStretch(1);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(6);
    for (QPushButton* button : {m_sizeGoButton, m_sizeCancelButton, m_sizeHelpButton})
        buttons->addWidget(button);
    buttons->addStretch(1);
    m_statusPanel = LayOutDialog(*this, left, buttons);

    // Only a change of the unit runs the switch; choosing the unit already chosen keeps the number.
    connect(m_unitGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            SizeFilterRadioGroupClick();
    });
    connect(m_sizeGoButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_sizeCancelButton, &QPushButton::clicked, this, &TSizeForm::SizeCancelButtonClick);
    connect(m_sizeHelpButton, &QPushButton::clicked, this, &TSizeForm::SizeHelpButtonClick);
}

void TSizeForm::showEvent(QShowEvent* event)
{
    CentreDialog(*this);
    QDialog::showEvent(event);
    // A number typed as soon as the dialog shows replaces the one shown, whatever had the focus last.
    m_sizeFilterSpinEdit->setFocus();
    m_sizeFilterSpinEdit->selectAll();
}

int TSizeForm::UnitIndex() const
{
    return m_unitGroup->checkedId() == kMegabytes ? kMegabytes : kKilobytes;
}

std::int64_t TSizeForm::SizeThreshold() const
{
    const SpinEditRange& range = m_sizeFilterSpinEdit->Range();
    return ::SizeThreshold(range.Clamped(m_sizeFilterSpinEdit->Value()), UnitIndex());
}

void TSizeForm::SizeCancelButtonClick()
{
    reject();
}

void TSizeForm::SizeFilterRadioGroupClick()
{
    const int unit = UnitIndex();
    m_sizeFilterLabel->setText(QString::fromLatin1(kSizeUnits[unit].label));
    m_sizeFilterSpinEdit->SetValue(SwitchSizeUnit(m_sizeFilterSpinEdit->Range(), unit));
}

void TSizeForm::SizeHelpButtonClick()
{
    HelpCommands(m_help, m_programDir).ShowTopic(kHelpTopic);
}

void TSizeForm::done(int result)
{
    m_sizeFilterSpinEdit->ClampText();
    QDialog::done(result);
}
