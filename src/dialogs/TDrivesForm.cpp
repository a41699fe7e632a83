// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TDrivesForm.h"

#include "dialogs/DialogParts.h"
#include "dialogs/DriveListRules.h"
#include "platform/DriveProbe.h"
#include "platform/FolderChooser.h"
#include "ui/HelpCommands.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr const char* kListHint = "Scan List|List of drives to scan";
constexpr const char* kDetectHint = "Look For All Connected Drives|Put all connected drives in list";
constexpr const char* kDisableHint = "Remove Drive From List|Remove selected drive from scan list";
constexpr const char* kAddHint = "Add Folder|Put a folder of your choice in the scan list";
constexpr const char* kHelpHint = "Display Help|Display drives help page";
constexpr const char* kOKHint = "Accept Changes|Close drives dialog and accept changes";
constexpr const char* kCancelHint = "Ignore Changes|Close drives dialog and ignore changes";
constexpr const char* kHelpTopic = "SCRIBBLE20";
constexpr const char* kChooserTitle = "Add Folder";

// The root's bytes, kept apart from the text shown, which is decoded for display only.
constexpr int kRootRole = Qt::UserRole;

} // namespace

TDrivesForm::TDrivesForm(DriveProbe& probe, FolderChooser& folders, HelpViewer& help, QWidget* parent)
    : QDialog(parent), m_probe(probe), m_folders(folders), m_help(help)
{
    setObjectName(QStringLiteral("DrivesForm"));
    setWindowTitle(QStringLiteral("Drives"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_drivesListBox = new QListWidget;
    m_drivesListBox->setObjectName(QStringLiteral("DrivesListBox"));
    m_drivesListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_drivesListBox->setMinimumSize(160, 150);
    SetHint(m_drivesListBox, kListHint);
    m_label1 = new QLabel(QStringLiteral("List:"));
    m_label1->setObjectName(QStringLiteral("Label1"));
    QFont underlined = m_label1->font();
    underlined.setUnderline(true);
    m_label1->setFont(underlined);
    m_label1->setBuddy(m_drivesListBox);

    m_detectButton = DialogButton("DetectButton", "Detect", kDetectHint);
    m_disableButton = DialogButton("DisableButton", "Disable", kDisableHint);
    m_addButton = DialogButton("AddButton", "Add...", kAddHint);
    m_drivesHelp = DialogButton("DrivesHelp", "Help", kHelpHint);
    m_drivesOKButton = DialogButton("DrivesOKButton", "OK", kOKHint);
    m_drivesCancelButton = DialogButton("DrivesCancelButton", "Cancel", kCancelHint);
    m_disableButton->setEnabled(false);
    m_drivesOKButton->setDefault(true);

    auto* listColumn = new QVBoxLayout;
    listColumn->setSpacing(2);
    listColumn->addWidget(m_label1);
    listColumn->addWidget(m_drivesListBox, 1);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(6);
    buttons->addSpacing(m_label1->sizeHint().height() + 2);
    for (QPushButton* button : {m_detectButton, m_disableButton, m_addButton})
        buttons->addWidget(button);
    buttons->addStretch(1);
    for (QPushButton* button : {m_drivesOKButton, m_drivesCancelButton, m_drivesHelp})
        buttons->addWidget(button);
    m_statusPanel = LayOutDialog(*this, listColumn, buttons);

    connect(m_drivesListBox, &QListWidget::itemSelectionChanged, this, &TDrivesForm::DrivesListBoxClick);
    connect(m_detectButton, &QPushButton::clicked, this, &TDrivesForm::DetectButtonClick);
    connect(m_disableButton, &QPushButton::clicked, this, &TDrivesForm::DisableButtonClick);
    connect(m_addButton, &QPushButton::clicked, this, &TDrivesForm::AddButtonClick);
    connect(m_drivesHelp, &QPushButton::clicked, this, &TDrivesForm::DrivesHelpClick);
    connect(m_drivesOKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_drivesCancelButton, &QPushButton::clicked, this, &TDrivesForm::DrivesCancelButtonClick);
}

void TDrivesForm::showEvent(QShowEvent* event)
{
    CentreDialog(*this);
    QDialog::showEvent(event);
}

void TDrivesForm::SetDrives(const std::vector<std::string>& roots)
{
    m_drivesListBox->clear();
    for (const std::string& root : roots)
        AddRoot(root);
}

std::vector<std::string> TDrivesForm::Drives() const
{
    std::vector<std::string> roots;
    for (int i = 0; i < m_drivesListBox->count(); ++i)
        roots.push_back(m_drivesListBox->item(i)->data(kRootRole).toByteArray().toStdString());
    return roots;
}

void TDrivesForm::AddRoot(const std::string& root)
{
    const int at = RootInsertPosition(Drives(), root);
    if (at < 0)
        return;
    auto* item = new QListWidgetItem(QString::fromStdString(root));
    item->setData(kRootRole, QByteArray::fromStdString(root));
    m_drivesListBox->insertItem(at, item);
}

void TDrivesForm::DisableButtonClick()
{
    // Read first: taking out the last selected root already turns the button off.
    const bool hadFocus = m_disableButton->hasFocus();
    std::vector<bool> selected;
    for (int i = 0; i < m_drivesListBox->count(); ++i)
        selected.push_back(m_drivesListBox->item(i)->isSelected());
    for (int index : RootsToDisable(selected))
        delete m_drivesListBox->takeItem(index);
    DrivesListBoxClick();
    // Turning itself off, the button would hand the focus on to Add..., and Enter would open the
    // folder chooser instead of accepting the list.
    if (hadFocus && !m_disableButton->isEnabled())
        m_drivesListBox->setFocus();
}

void TDrivesForm::DrivesListBoxClick()
{
    const int selectedCount = static_cast<int>(m_drivesListBox->selectedItems().size());
    m_disableButton->setEnabled(DisableEnabled(selectedCount, m_drivesListBox->count()));
}

void TDrivesForm::DetectButtonClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct RestoreCursor
    {
        ~RestoreCursor() { QApplication::restoreOverrideCursor(); }
    } restore;
    m_disableButton->setEnabled(false);
    SetDrives(m_probe.probe());
}

void TDrivesForm::DrivesCancelButtonClick()
{
    reject();
}

void TDrivesForm::DrivesHelpClick()
{
    HelpCommands(m_help, m_programDir).ShowTopic(kHelpTopic);
}

void TDrivesForm::AddButtonClick()
{
    const std::string folder = m_folders.ChooseFolder(kChooserTitle);
    if (folder.empty())
        return;
    const std::string root = FolderRoot(folder);
    AddRoot(root);
    for (int i = 0; i < m_drivesListBox->count(); ++i) {
        if (m_drivesListBox->item(i)->data(kRootRole).toByteArray().toStdString() == root)
            m_drivesListBox->scrollToItem(m_drivesListBox->item(i));
    }
}
