// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/TMainForm.h"

#include "audit/AuditLog.h"
#include "audit/TAuditForm.h"
#include "dialogs/TDrivesForm.h"
#include "dialogs/TSizeForm.h"
#include "info/SvgPicture.h"
#include "info/TAboutForm.h"
#include "info/TTipForm.h"
#include "main/CommandEnabling.h"
#include "main/ContentCompareController.h"
#include "main/LinkLabel.h"
#include "main/MainHints.h"
#include "main/MainMenus.h"
#include "main/MainTexts.h"
#include "main/MarkCommands.h"
#include "main/MenuShortcutFilter.h"
#include "main/ReportRunController.h"
#include "main/ReportTexts.h"
#include "main/StatusTipFilter.h"
#include "main/TrashRunController.h"
#include "platform/DriveProbe.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramDir.h"
#include "print/PrintJob.h"
#include "scan/DrivesSummary.h"
#include "scan/RowForms.h"
#include "ui/HintText.h"
#include "ui/MenuFont.h"
#include "ui/SetHint.h"
#include "widgets/TOvcController.h"
#include "widgets/TOvcVirtualListbox.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {

using namespace MainHints;

constexpr const char* kDrivesCanceled = "Drives Update Canceled";
constexpr const char* kDrivesUpdated = "Drives List Updated";

constexpr const char* kMasks[] = {"*.*",   "*.aif", "*.avi", "*.bat", "*.bmp", "*.clp", "*.cmx", "*.dat",
                                  "*.dll", "*.doc", "*.exe", "*.gif", "*.hlp", "*.htm", "*.jif", "*.jpg",
                                  "*.max", "*.mid", "*.mov", "*.msp", "*.pcx", "*.pdf", "*.pic", "*.ppm",
                                  "*.ppt", "*.psd", "*.ras", "*.raw", "*.rle", "*.rpm", "*.spl", "*.tif",
                                  "*.tmp", "*.txt", "*.vdo", "*.wav", "*.wmf", "*.wpg", "*.xls"};

constexpr int kToolButtonWidth = 50;
constexpr int kToolButtonHeight = 39;
constexpr QSize kGlyphSize(20, 20);

QFrame* Separator()
{
    auto* line = new QFrame;
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedSize(2, kToolButtonHeight - 6);
    return line;
}

QFrame* Panel(int height)
{
    auto* panel = new QFrame;
    panel->setFixedHeight(height);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    return panel;
}

} // namespace

TMainForm::TMainForm(MainServices services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_homePage(services.launcher, services.messages),
      m_table(std::make_shared<ResultTable>(services.locale)), m_recycleBin(services.messages),
      m_deleteCommand(*m_table, m_recycleBin, services.messages),
      m_controller(std::make_shared<TOvcController>())
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Lintwick - Disk Clean-up"));
    QFont formFont = font();
    formFont.setPointSize(8);
    setFont(formFont);
    RunModal = [](QDialog& dialog) { return dialog.exec(); };

    MainMenus::BuildMenuBar(*this);
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(BuildToolbar());
    layout->addWidget(BuildFieldsPanel());
    BuildListBox();
    layout->addWidget(m_listBox, 1);
    layout->addWidget(BuildLinkPanel());
    setCentralWidget(central);
    MainMenus::BuildPopupMenu(*this);
    GiveMenusTheFontOf(menuBar(), m_popupMenu);
    BuildStatusBar();
    resize(609, 421);
    m_reportRun = std::make_unique<ReportRunController>(ReportRunController::Window{
        this, m_maskComboBox, m_listBox, m_statusPanel1, &m_services.messages, m_table.get(),
        [this](bool enabled) { SetPrintEnabled(enabled); }, [this] { ReportChanged(); }});
    m_compare = std::make_unique<ContentCompareController>(ContentCompareController::Window{
        this, m_statusPanel1, &m_services.messages, m_table, [this](ContentClasses* found) {
            if (found)
                m_content.set(std::move(*found));
            ShowContentColumn();
            UpdateCommandsEnabled();
        }});
    m_trashRuns = std::make_unique<TrashRunController>(TrashRunController::Window{
        this, m_statusPanel1, &m_services.messages, m_table.get(),
        [this](const std::vector<int>& rows) { RowsDeleted(rows); },
        [this](const std::vector<int>& rows) { RowsRestored(rows); }, [this] { ListBoxMarksChanged(); }});
    UpdateCommandsEnabled(); // the commands that wait for a report, a check, a mark or a Delete

    FormCreate();

    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TMainForm::FocusWindowChanged);
}

TMainForm::~TMainForm()
{
    if (m_statusTipFilter)
        qApp->removeEventFilter(m_statusTipFilter);
    if (m_shortcutFilter)
        qApp->removeEventFilter(m_shortcutFilter);
}

void TMainForm::FormCreate()
{
    // Large-font desktops of 120 dots per inch get the wider window the layout was drawn for there.
    if (logicalDpiX() == 120)
        resize(770, height());
    m_programDir = CurrentProgramDir();
    m_help = std::make_unique<HelpCommands>(m_services.help, m_programDir);
    m_sizeThreshold = 0;

    m_statusTipFilter = new StatusTipFilter(this);
    m_statusTipFilter->OnHint = [this](const QWidget* window, const QString& hint) { DoHint(window, hint); };
    qApp->installEventFilter(m_statusTipFilter);
    m_statusBarWindows.push_back({this, m_statusPanel0});
    m_shortcutFilter = new MenuShortcutFilter(this);
    qApp->installEventFilter(m_shortcutFilter);

    m_driveList = m_services.drives.probe();
    m_drivesSummary = ::DrivesSummary(m_driveList, SummaryStyle::StartUp);
    m_drivesEdit->setText(QString::fromStdString(m_drivesSummary));
    m_drivesEdit->setCursorPosition(0); // the first drives, not the end of a long summary
    m_statusPanel0->setText(QString::fromLatin1(MainTexts::kProductName));
}

bool TMainForm::Busy() const
{
    return m_reportRun->Running() || m_compare->Running() || m_trashRuns->Running();
}

std::function<void()> TMainForm::Command(void (TMainForm::*handler)())
{
    return [this, handler] {
        if (handler == &TMainForm::Exit1Click || !Busy())
            (this->*handler)();
    };
}

QWidget* TMainForm::BuildToolbar()
{
    QFrame* toolbar = Panel(41);
    toolbar->setObjectName(QStringLiteral("ToolbarPanel"));
    auto* layout = new QHBoxLayout(toolbar);
    // Twelve buttons and three separators fill the designed 609 pixels with the panel's frame; side
    // margins would widen the window.
    layout->setContentsMargins(0, 1, 0, 1);
    layout->setSpacing(0);

    const auto addButton = [&](const char* name, const char* caption, const char* icon, const char* hint,
                               void (TMainForm::*handler)()) {
        auto* button = new QToolButton;
        button->setObjectName(QString::fromLatin1(name));
        button->setText(QString::fromLatin1(caption));
        // Qt's SVG icon engine draws the glyph afresh for each size and pixel ratio: sharp at any scale.
        button->setIcon(QIcon(QStringLiteral(":/main/%1.svg").arg(QLatin1String(icon))));
        button->setIconSize(kGlyphSize);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setFixedSize(kToolButtonWidth, kToolButtonHeight);
        // Flat buttons take no focus, as on the classic toolbar; the menus reach every command by keyboard.
        button->setFocusPolicy(Qt::NoFocus);
        SetHint(button, hint);
        connect(button, &QToolButton::clicked, this, Command(handler));
        layout->addWidget(button);
        return button;
    };

    addButton("DrivesSpeedButton", "Drives", "drives", kDrivesHint, &TMainForm::DrivesSpeedButtonClick);
    m_deleteSpeedButton =
        addButton("DeleteSpeedButton", "Delete", "delete", kDeleteHint, &TMainForm::DeleteSpeedButtonClick);
    m_printSpeedButton =
        addButton("PrintSpeedButton", "Print", "print", kPrintButtonHint, &TMainForm::PrintSpeedButtonClick);
    layout->addWidget(Separator());
    addButton("DupesSpeedButton", "Dupes", "dupes", kDupesHint, &TMainForm::DupesSpeedButtonClick);
    addButton("SizeSpeedButton", "Size", "size", kSizeHint, &TMainForm::SizeSpeedButtonClick);
    addButton("ZeroSpeedButton", "Zero", "zero", kZeroHint, &TMainForm::ZeroSpeedButtonClick);
    layout->addWidget(Separator());
    addButton("HelpSpeedButton", "Help", "help", kHelpHint, &TMainForm::HelpSpeedButtonClick);
    addButton("ContactSpeedButton", "Contact", "contact", kContactHint, &TMainForm::ContactSpeedButtonClick);
    addButton("AboutSpeedButton", "About", "about", kAboutHint, &TMainForm::AboutSpeedButtonClick);
    addButton("FAQSpeedButton", "FAQs", "faqs", kFaqHint, &TMainForm::FAQSpeedButtonClick);
    layout->addWidget(Separator());
    addButton("NewFeatureSpeedButton", "New", "new", kNewHint, &TMainForm::NewFeatureSpeedButtonClick);
    addButton("DQCSpeedButton", "DQC", "dqc", kDqcHint, &TMainForm::DQCSpeedButtonClick);
    layout->addStretch(1);

    m_deleteSpeedButton->setEnabled(false);
    m_printSpeedButton->setEnabled(false);
    return toolbar;
}

QWidget* TMainForm::BuildFieldsPanel()
{
    QFrame* panel = Panel(30);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(6);

    auto* maskLabel = new QLabel(QStringLiteral("Mask:"));
    m_maskComboBox = new QComboBox;
    m_maskComboBox->setObjectName(QStringLiteral("MaskComboBox"));
    m_maskComboBox->setEditable(true);
    // What the user types is the mask, letter for letter: no completion from the list, and typed
    // masks stay out of it.
    m_maskComboBox->setInsertPolicy(QComboBox::NoInsert);
    m_maskComboBox->setMaxVisibleItems(24);
    m_maskComboBox->lineEdit()->setMaxLength(15);
    m_maskComboBox->setCompleter(nullptr);
    for (const char* mask : kMasks)
        m_maskComboBox->addItem(QString::fromLatin1(mask));
    m_maskComboBox->setCurrentText(QStringLiteral("*.*"));
    m_maskComboBox->setFixedWidth(96);
    SetHint(m_maskComboBox, kMaskHint);
    maskLabel->setBuddy(m_maskComboBox);

    auto* drivesLabel = new QLabel(QStringLiteral("Drives:"));
    m_drivesEdit = new QLineEdit;
    m_drivesEdit->setObjectName(QStringLiteral("DrivesEdit"));
    m_drivesEdit->setReadOnly(true);
    m_drivesEdit->setFixedWidth(228);
    SetHint(m_drivesEdit, kDrivesEditHint);
    drivesLabel->setBuddy(m_drivesEdit);

    m_label1 = new LinkLabel(QString::fromLatin1(MainTexts::kHomePageLabel));
    m_label1->setObjectName(QStringLiteral("Label1"));
    QFont linkFont = m_label1->font();
    linkFont.setPixelSize(15);
    m_label1->setFont(linkFont);
    SetHint(m_label1, kLabel1Hint);
    m_label1->OnClick = Command(&TMainForm::Label1Click);

    layout->addWidget(maskLabel);
    layout->addWidget(m_maskComboBox);
    layout->addSpacing(8);
    layout->addWidget(drivesLabel);
    layout->addWidget(m_drivesEdit);
    layout->addStretch(1);
    layout->addWidget(m_label1);
    return panel;
}

void TMainForm::BuildListBox()
{
    m_listBox = new TOvcVirtualListbox;
    m_listBox->setObjectName(QStringLiteral("ListBox"));
    m_listBox->SetController(m_controller);
    QFont courier = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    courier.setPixelSize(15);
    m_listBox->setFont(courier);
    m_listBox->SetHeader(QString::fromLatin1(kResultListHeader.data(), kResultListHeader.size()));
    m_listBox->SetShowHeader(true);
    m_listBox->SetScrollBars(TScrollStyle::ssBoth);
    // Separator rows look blank in whatever colours the desktop gives the list.
    m_listBox->ProtectColor().SetColors(clWindow, clWindow);
    m_listBox->OnGetItem = [this](TOvcCustomVirtualListBox* sender, int index, QString& text) {
        ListBoxGetItem(sender, index, text);
    };
    m_listBox->OnGetItemStatus = [this](TOvcCustomVirtualListBox* sender, int index, bool& protect) {
        ListBoxGetItemStatus(sender, index, protect);
    };
    m_listBox->OnClick = [this](TOvcCustomVirtualListBox* sender) { ListBoxClick(sender); };
    m_listBox->OnMarksChanged = [this](TOvcCustomVirtualListBox*) { ListBoxMarksChanged(); };
    m_listBox->SetMultiSelect(true);
    m_listBox->SetNumItems(0);
    m_listBox->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_listBox, &QWidget::customContextMenuRequested, this, [this](const QPoint& point) {
        // The list's context menu events come from its viewport.
        m_popupMenu->popup(m_listBox->viewport()->mapToGlobal(point));
    });
    // A right click selects its row first, so that the menu's Delete acts on the row clicked.
    m_listBox->viewport()->installEventFilter(this);
    auto* deleteKey = new QAction(m_listBox);
    deleteKey->setShortcut(Qt::Key_Delete);
    deleteKey->setShortcutContext(Qt::WidgetShortcut);
    connect(deleteKey, &QAction::triggered, this, &TMainForm::DeleteSpeedButtonClick);
    m_listBox->addAction(deleteKey);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_listBox->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        const QPoint point = press->position().toPoint();
        const int index = m_listBox->ItemAtPoint(point);
        if (press->button() == Qt::RightButton && m_listBox->ItemRect(index).contains(point))
            m_listBox->SetItemIndex(index);
    }
    return QMainWindow::eventFilter(watched, event);
}

QWidget* TMainForm::BuildLinkPanel()
{
    QFrame* panel = Panel(26);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(8, 0, 8, 0);
    m_label4 = new LinkLabel(QStringLiteral("How can I improve the quality of data within a database?"));
    m_label4->setObjectName(QStringLiteral("Label4"));
    SetHint(m_label4, kLabel4Hint);
    m_label4->OnClick = Command(&TMainForm::Label4Click);
    layout->addWidget(m_label4);
    layout->addStretch(1);
    return panel;
}

void TMainForm::BuildStatusBar()
{
    m_statusPanel0 = new StatusBarPanel;
    m_statusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    m_statusPanel1 = new StatusBarPanel;
    m_statusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(m_statusPanel0);
    statusBar()->addWidget(m_statusPanel1, 1);
    m_marksPanel = new StatusBarPanel;
    m_marksPanel->setObjectName(QStringLiteral("MarksPanel"));
    m_marksPanel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    statusBar()->addWidget(m_marksPanel);
    m_marksPanel->hide();
    // 350 pixels as designed, or wider when the desktop font needs it for the longest long hint.
    m_statusPanel0->setFixedWidth(m_statusPanel0->WidthForHintsOf(*this, 350));
}

void TMainForm::SetAuditForm(TAuditForm* auditForm)
{
    m_auditForm = auditForm;
    if (auditForm)
        AddStatusBarWindow(auditForm, auditForm->StatusPanel());
}

void TMainForm::SetPrinting(const PrintServices& printing)
{
    m_printJob = std::make_unique<PrintJob>(printing, m_services.messages, m_services.locale);
}

void TMainForm::AddStatusBarWindow(QWidget* window, QLabel* panel0)
{
    m_statusBarWindows.push_back({window, panel0});
}

void TMainForm::SetDrivesForm(TDrivesForm* drivesForm)
{
    m_drivesForm = drivesForm;
    AddStatusBarWindow(drivesForm, drivesForm->StatusPanel());
}

void TMainForm::SetSizeForm(TSizeForm* sizeForm)
{
    m_sizeForm = sizeForm;
    AddStatusBarWindow(sizeForm, sizeForm->StatusPanel());
}

void TMainForm::DoHint(const QWidget* window, const QString& hint)
{
    for (const StatusBarWindow& target : m_statusBarWindows) {
        if (target.window && target.panel0 && target.window == window)
            target.panel0->setText(hint);
    }
}

void TMainForm::FocusWindowChanged(QWindow* window)
{
    ActivatedWindow kind = ActivatedWindow::Outside;
    if (window) {
        // Menus and tooltips come and go without the main window losing its place.
        if (window->type() == Qt::Popup || window->type() == Qt::ToolTip)
            return;
        if (window == windowHandle())
            kind = ActivatedWindow::Main;
        else if (window->modality() != Qt::NonModal)
            kind = ActivatedWindow::Modal;
        else {
            // Only the program's own status bar windows (the audit report window) count; the help
            // viewer stands for a program of its own, as a platform help viewer would be.
            for (const StatusBarWindow& target : m_statusBarWindows) {
                if (target.window && target.window->windowHandle() == window)
                    kind = ActivatedWindow::NonModal;
            }
        }
    }
    if (m_activationRule.WindowActivated(kind)) {
        // Shown once the activation has been handled, not inside Qt's focus change.
        QMetaObject::invokeMethod(this, &TMainForm::FormActivate, Qt::QueuedConnection);
    }
}

void TMainForm::FormActivate()
{
    // A modal tip could not be closed while a run holds back the user's input.
    if (Busy())
        return;
    ShowNextTip();
}

void TMainForm::ShowNextTip()
{
    if (!m_tipForm)
        return;
    m_tipForm->NextTipButtonClick();
    RunModal(*m_tipForm);
}

void TMainForm::MaybeShowTip()
{
    if (m_tipSchedule.ReportCommand())
        ShowNextTip();
}

void TMainForm::ShowDataQualityControlTips1Click()
{
    ShowNextTip();
}

void TMainForm::DrivesSpeedButtonClick()
{
    if (!m_drivesForm || Busy())
        return;
    m_drivesForm->SetDrives(m_driveList);
    m_drivesForm->SetProgramDir(m_programDir);
    if (RunModal(*m_drivesForm) != QDialog::Accepted) {
        m_statusPanel1->setText(QString::fromLatin1(kDrivesCanceled));
        return;
    }
    m_driveList = m_drivesForm->Drives();
    m_drivesSummary = ::DrivesSummary(m_driveList, SummaryStyle::DrivesCommand);
    m_drivesEdit->setText(QString::fromStdString(m_drivesSummary));
    m_drivesEdit->setCursorPosition(0);
    m_statusPanel1->setText(QString::fromLatin1(kDrivesUpdated));
}

void TMainForm::DeleteSpeedButtonClick()
{
    // During a run the table belongs to the worker and its rows are not on screen; during a check
    // the check reads it.
    if (!isActiveWindow() || Busy())
        return;
    if (m_listBox->Marks().Count() > 0) {
        DeleteMarked();
        return;
    }
    const int row = m_listBox->ItemIndex();
    const DeleteOutcome outcome = m_deleteCommand.Run(row, m_programDir);
    if (outcome == DeleteOutcome::Deleted || outcome == DeleteOutcome::DeletedWithoutAudit) {
        m_trashRuns->Deleted(row, *m_deleteCommand.lastDeleted());
        RowsDeleted({row});
    }
}

void TMainForm::DeleteMarked()
{
    const MarkCommands marking = Marking();
    if (m_services.messages.Question(MarkCommands::DeleteQuestion(marking.total(), m_table->locale())))
        m_trashRuns->StartDelete(marking.markedRows(), m_programDir);
}

void TMainForm::UndoDelete1Click()
{
    if (!Busy())
        m_trashRuns->StartUndo(m_programDir);
}

void TMainForm::RowsDeleted(const std::vector<int>& rows)
{
    for (const int row : rows) {
        m_table->markDeleted(row);
        m_content.rowDeleted(*m_table, row);
    }
    ListBoxMarksChanged(); // their marks go
    m_listBox->viewport()->update();
}

void TMainForm::RowsRestored(const std::vector<int>& rows)
{
    // Their content classes stay cleared: the files may have changed while in the trash.
    for (const int row : rows)
        m_table->DeletedFlags[static_cast<std::size_t>(row)] = 0;
    m_listBox->viewport()->update();
}

void TMainForm::PrintSpeedButtonClick()
{
    if (!m_printJob || Busy())
        return;
    PrintDocument document;
    document.font = ReportPrintFont();
    document.lineCount = m_table->LastRow() + 1;
    document.line = [this](int row) { return m_content.rowText(*m_table, row); };
    const PrintJob::Result result = m_printJob->Print(document);
    if (result != PrintJob::Result::Cancelled)
        m_statusPanel1->setText(QString::fromStdString(PrintJob::StatusText(result)));
}

void TMainForm::DupesSpeedButtonClick()
{
    if (Busy())
        return;
    MaybeShowTip();
    if (m_services.messages.Confirm(ReportTexts::kDupesQuestion))
        m_reportRun->Start(ScanMode::Duplicates, m_driveList);
}

void TMainForm::SizeSpeedButtonClick()
{
    if (Busy())
        return;
    MaybeShowTip();
    if (!m_sizeForm)
        return;
    m_sizeForm->SetProgramDir(m_programDir);
    if (RunModal(*m_sizeForm) != QDialog::Accepted)
        return;
    const std::int64_t threshold = m_sizeForm->SizeThreshold();
    if (m_reportRun->Start(ScanMode::LargerThan, m_driveList, threshold))
        m_sizeThreshold = threshold;
}

void TMainForm::ZeroSpeedButtonClick()
{
    if (Busy())
        return;
    MaybeShowTip();
    if (m_services.messages.Confirm(ReportTexts::kZeroQuestion))
        m_reportRun->Start(ScanMode::ZeroLength, m_driveList);
}

void TMainForm::CompareContents1Click()
{
    if (!::CompareEnabled(m_reportRun->Mode(), m_table->LastRow(), Busy()))
        return;
    m_compare->Start();
    UpdateCommandsEnabled();
}

MarkCommands TMainForm::Marking() const
{
    return MarkCommands(*m_table, m_content.classes(), m_listBox->Marks());
}

void TMainForm::MarkCopies1Click()
{
    if (m_content.shown() && !Busy())
        SetRowsMarked(Marking().copies(), true);
}

void TMainForm::MarkAllInGroup1Click()
{
    const auto [first, last] = Marking().group(m_listBox->ItemIndex());
    if (m_reportRun->Mode() == ScanMode::Duplicates && first >= 0 && !Busy())
        m_listBox->SetRangeMarked(first, last, true);
}

void TMainForm::UnmarkAll1Click()
{
    if (!Busy())
        m_listBox->ClearMarks();
}

void TMainForm::SetRowsMarked(const std::vector<int>& rows, bool marked)
{
    m_settingMarks = true;
    for (std::size_t i = 0; i < rows.size();) {
        // Runs of neighbouring rows at once.
        std::size_t end = i + 1;
        while (end < rows.size() && rows[end] == rows[end - 1] + 1)
            ++end;
        m_listBox->SetRangeMarked(rows[i], rows[end - 1], marked);
        i = end;
    }
    m_settingMarks = false;
    ListBoxMarksChanged();
}

void TMainForm::ListBoxMarksChanged()
{
    if (m_settingMarks || !m_trashRuns)
        return;
    const MarkedTotal total = Marking().total();
    // A deleted row is never marked: marks that reach one (a click, a range, a group) go at once.
    if (!total.deleted.empty())
        SetRowsMarked(total.deleted, false);
    const QString text = QString::fromStdString(MarkCommands::StatusText(total, m_table->locale()));
    m_marksPanel->setText(text);
    // As wide as its text: the marks stay on screen after a run, and panel 1 beside them keeps the
    // run's outcome readable.
    m_marksPanel->setMinimumWidth(m_marksPanel->fontMetrics().horizontalAdvance(text) + 12);
    m_marksPanel->setVisible(total.count > 0 && !m_trashRuns->Running());
    UpdateCommandsEnabled();
}

void TMainForm::ViewAuditReport1Click()
{
    if (!m_auditForm)
        return;
    m_auditForm->SetProgramDir(m_programDir);
    m_auditForm->SetFileName(m_programDir + kAuditFileName);
    // Not modal: the user goes back and forth between the log and the report.
    m_auditForm->show();
    m_auditForm->raise();
    m_auditForm->activateWindow();
}

void TMainForm::HelpSpeedButtonClick()
{
    m_help->ShowFinder();
}

void TMainForm::ContactSpeedButtonClick()
{
    m_help->ShowTopic(MainTexts::kContactTopic);
}

void TMainForm::FAQSpeedButtonClick()
{
    m_help->ShowTopic(MainTexts::kFaqTopic);
}

void TMainForm::DQCSpeedButtonClick()
{
    m_help->ShowTopic(MainTexts::kDataQualityTopic);
}

void TMainForm::AboutSpeedButtonClick()
{
    if (m_aboutForm)
        RunModal(*m_aboutForm);
}

void TMainForm::NewFeatureSpeedButtonClick()
{
    m_services.messages.Information(std::string(MainTexts::kNewFeaturePrefix) + MainTexts::kFeatureAddress +
                                    MainTexts::kNewFeatureSuffix);
}

void TMainForm::Label1Click()
{
    m_homePage.Open();
}

void TMainForm::Label4Click()
{
    m_services.messages.Information(std::string(MainTexts::kCleanDataPrefix) + MainTexts::kTelephone +
                                    MainTexts::kCleanDataSuffix);
}

void TMainForm::Exit1Click()
{
    close();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // A run or check under way is stopped; main waits a little for its thread before the program ends.
    m_reportRun->Stop();
    m_compare->Stop();
    m_trashRuns->Stop();
    QMainWindow::closeEvent(event);
    // Closing the main window ends the program, even while the help viewer is still open.
    if (event->isAccepted())
        QCoreApplication::quit();
}

void TMainForm::ListBoxGetItem(TOvcCustomVirtualListBox* sender, int index, QString& itemString)
{
    itemString = index >= 0 && index <= m_table->LastRow()
                     ? QString::fromStdString(m_content.rowText(*m_table, index))
                     : QString();
    SetPrintEnabled(PrintEnabled(sender->NumItems()));
}

void TMainForm::ListBoxGetItemStatus(TOvcCustomVirtualListBox*, int index, bool& protect)
{
    // Only a separator row has an empty text; asking the table directly spares composing the row a
    // second time for every row painted.
    protect = index < 0 || index > m_table->LastRow() || m_table->isSeparator(index);
}

void TMainForm::ListBoxClick(TOvcCustomVirtualListBox*)
{
    UpdateCommandsEnabled();
}

void TMainForm::SetDeleteEnabled(bool enabled)
{
    m_deleteSpeedButton->setEnabled(enabled);
    m_deleteFile1->setEnabled(enabled);
    m_delete1->setEnabled(enabled);
}

void TMainForm::SetPrintEnabled(bool enabled)
{
    m_printSpeedButton->setEnabled(enabled);
    m_printReport1->setEnabled(enabled);
}

void TMainForm::UpdateCommandsEnabled()
{
    if (!m_trashRuns) // the window is still being built
        return;
    const bool busy = Busy();
    const int row = m_listBox->ItemIndex();
    const int marks = m_listBox->Marks().Count();
    const bool separator = row >= 0 && row <= m_table->LastRow() && m_table->isSeparator(row);
    const auto enable = [](QAction* const(&actions)[2], bool enabled) {
        for (QAction* action : actions)
            action->setEnabled(enabled);
    };
    SetDeleteEnabled(DeleteEnabled(row, separator, marks));
    const bool compare = ::CompareEnabled(m_reportRun->Mode(), m_table->LastRow(), busy);
    m_compareContents1->setEnabled(compare);
    m_compareContents2->setEnabled(compare);
    enable(m_markCopies, m_content.shown() && !busy);
    enable(m_markAllInGroup, m_reportRun->Mode() == ScanMode::Duplicates && row >= 0 && !separator && !busy);
    enable(m_unmarkAll, marks > 0 && !busy);
    m_undoDelete1->setEnabled(m_trashRuns->CanUndo() && !busy);
}

void TMainForm::ReportChanged()
{
    m_trashRuns->Forget();
    m_content.clear();
    ShowContentColumn();
    UpdateCommandsEnabled();
}

void TMainForm::ShowContentColumn()
{
    const std::string_view header = m_content.header();
    m_listBox->SetHeader(QString::fromLatin1(header.data(), static_cast<int>(header.size())));
    m_listBox->viewport()->update();
}
