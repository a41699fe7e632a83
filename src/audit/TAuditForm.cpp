// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TAuditForm.h"

#include "audit/RunSummaries.h"
#include "platform/FileNameText.h"
#include "platform/MessageBoxes.h"
#include "print/PrintJob.h"
#include "scan/MaskMatcher.h"
#include "scan/RowForms.h"
#include "ui/HelpCommands.h"
#include "ui/MenuFont.h"
#include "ui/SetHint.h"
#include "widgets/EOvcException.h"
#include "widgets/TOvcController.h"
#include "widgets/TOvcTextFileViewer.h"

#include <QAction>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

namespace {

constexpr const char* kOpenHint = "Display Audit Report|Display file listed in the filename field";
constexpr const char* kPrintHint = "Send Report To Printer|Send audit report to connected printer";
constexpr const char* kHelpHint = "Display Audit Report Help|Display audit report help page";
constexpr const char* kSearchEditHint =
    "String To Search For|Audit report will be searched for this string when search button is clicked";
constexpr const char* kSearchButtonHint =
    "Search Audit Report|Search audit report for the given search string";
constexpr const char* kFileNameHint =
    "Pathname Of File To Display|Pathname of audit report file to be displayed";
constexpr const char* kBrowseHint = "Search For File|Use Windows file dialog to search for file";
constexpr const char* kMemoHint = "Audit Report Display|Window where audit report can be viewed";
constexpr const char* kExitHint = "Exit Audit Report|Closes audit report and returns to Veltrace";
constexpr const char* kRestoreHint = "Restore File|Bring the file of this audit line back from the trash";

constexpr const char* kHelpTopic = "SCRIBBLE40";
constexpr const char* kDisplayed = "Audit Report Displayed Successfully";
constexpr const char* kNotFound = "Audit Report File Empty Or Not Found";
constexpr const char* kChanged = "Audit Report File Changed Since It Was Opened";

constexpr QSize kGlyphSize(20, 20);

QFrame* Rule(QFrame::Shape shape, const char* name)
{
    auto* rule = new QFrame;
    rule->setObjectName(QString::fromLatin1(name));
    rule->setFrameShape(shape);
    rule->setFrameShadow(QFrame::Sunken);
    return rule;
}

// One of the two strips above the viewer, 41 pixels high, with its row of controls.
QHBoxLayout* Strip(QFrame*& panel, const char* name, const QMargins& margins, int spacing)
{
    panel = new QFrame;
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFixedHeight(41);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(margins);
    layout->setSpacing(spacing);
    return layout;
}

// The field's text as file name bytes, without the blanks and control characters around it.
std::string TrimmedText(const QLineEdit* edit)
{
    return std::string(TrimControlAndBlanks(TextToFileName(edit->text())));
}

} // namespace

TAuditForm::TAuditForm(MessageBoxes& messages, HelpViewer& help, const PrintServices& printing,
                       LocaleSettings locale, QWidget* parent)
    : QMainWindow(parent), m_messages(messages), m_help(help),
      m_printJob(std::make_unique<PrintJob>(printing, messages, locale)),
      m_controller(std::make_shared<TOvcController>()), m_locale(locale), m_restoreCommand(std::move(locale))
{
    setObjectName(QStringLiteral("AuditForm"));
    setWindowTitle(QStringLiteral("Audit Report"));
    QFont formFont = font();
    formFont.setPointSize(8);
    setFont(formFont);
    PickFile = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Open"), QString(),
                                            QStringLiteral("Text Files (*.txt);;All Files (*)"));
    };

    BuildMenus();
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Rule(QFrame::HLine, "Bevel1"));
    layout->addWidget(BuildToolPanel());
    layout->addWidget(Rule(QFrame::HLine, "Bevel2"));
    layout->addWidget(BuildFilePanel());
    BuildViewer();
    layout->addWidget(m_auditMemo, 1);
    setCentralWidget(central);
    BuildStatusBar();
    resize(504, 460);
    m_restoreTimer.setInterval(kCountInterval);
    connect(&m_restoreTimer, &QTimer::timeout, this, &TAuditForm::ShowRestoreCount);

    FormCreate();
    SetViewerControlsEnabled(false);
    m_auditSearchButton->setEnabled(false);
}

TAuditForm::~TAuditForm() = default;

void TAuditForm::FormCreate()
{
    if (logicalDpiX() == 120)
        resize(630, height());
}

void TAuditForm::BuildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    m_print1 = file->addAction(QStringLiteral("&Print"));
    m_print1->setObjectName(QStringLiteral("Print1"));
    m_print1->setShortcut(Qt::CTRL | Qt::Key_P);
    SetHint(m_print1, kPrintHint);
    connect(m_print1, &QAction::triggered, this, &TAuditForm::Print1Click);
    m_restore1 = file->addAction(QStringLiteral("&Restore"));
    m_restore1->setObjectName(QStringLiteral("Restore1"));
    m_restore1->setShortcut(Qt::CTRL | Qt::Key_R);
    SetHint(m_restore1, kRestoreHint);
    connect(m_restore1, &QAction::triggered, this, &TAuditForm::Restore1Click);
    file->addSeparator()->setObjectName(QStringLiteral("N1"));
    QAction* exit1 = file->addAction(QStringLiteral("E&xit"));
    exit1->setObjectName(QStringLiteral("Exit1"));
    SetHint(exit1, kExitHint);
    connect(exit1, &QAction::triggered, this, &TAuditForm::Exit1Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* helpTopics1 = help->addAction(QStringLiteral("Audit Report Help..."));
    helpTopics1->setObjectName(QStringLiteral("HelpTopics1"));
    SetHint(helpTopics1, kHelpHint);
    connect(helpTopics1, &QAction::triggered, this, &TAuditForm::HelpTopics1Click);
    GiveMenusTheFontOf(menuBar());

    // Esc works only while a restore runs, and wherever the focus is in the window.
    m_stopRestore = new QAction(QStringLiteral("Stop"), this);
    m_stopRestore->setObjectName(QStringLiteral("StopRestore"));
    m_stopRestore->setShortcut(Qt::Key_Escape);
    m_stopRestore->setEnabled(false);
    addAction(m_stopRestore);
    connect(m_stopRestore, &QAction::triggered, this, &TAuditForm::StopRestore);
}

QWidget* TAuditForm::BuildToolPanel()
{
    QFrame* panel = nullptr;
    QHBoxLayout* layout = Strip(panel, "Panel1", QMargins(1, 1, 6, 1), 0);
    m_toolPanel = panel;

    const auto addButton = [&](const char* name, const char* caption, const char* icon, const char* hint,
                               void (TAuditForm::*handler)()) {
        auto* button = new QToolButton;
        button->setObjectName(QString::fromLatin1(name));
        button->setText(QString::fromLatin1(caption));
        button->setIcon(QIcon(QStringLiteral(":/audit/%1.svg").arg(QLatin1String(icon))));
        button->setIconSize(kGlyphSize);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setFixedSize(50, 39);
        // Open, Help and Search have no menu item: the keyboard reaches them with Tab.
        button->setFocusPolicy(Qt::TabFocus);
        SetHint(button, hint);
        connect(button, &QToolButton::clicked, this, handler);
        layout->addWidget(button);
        return button;
    };
    m_auditOpenButton =
        addButton("AuditOpenButton", "Open", "open", kOpenHint, &TAuditForm::AuditOpenButtonClick);
    m_auditPrintButton =
        addButton("AuditPrintButton", "Print", "print", kPrintHint, &TAuditForm::AuditPrintButtonClick);
    m_auditRestoreButton = addButton("AuditRestoreButton", "Restore", "restore", kRestoreHint,
                                     &TAuditForm::AuditRestoreButtonClick);
    m_auditHelpButton =
        addButton("AuditHelpButton", "Help", "help", kHelpHint, &TAuditForm::AuditHelpButtonClick);

    QFrame* divider = Rule(QFrame::VLine, "Bevel4");
    divider->setFixedHeight(33);
    layout->addSpacing(4);
    layout->addWidget(divider);
    layout->addSpacing(8);

    m_auditSearchLabel = new QLabel(QStringLiteral("Search String:"));
    m_auditSearchLabel->setObjectName(QStringLiteral("AuditSearchLabel"));
    m_auditSearchEdit = new QLineEdit;
    m_auditSearchEdit->setObjectName(QStringLiteral("AuditSearchEdit"));
    m_auditSearchEdit->setMaxLength(100);
    SetHint(m_auditSearchEdit, kSearchEditHint);
    m_auditSearchLabel->setBuddy(m_auditSearchEdit);
    connect(m_auditSearchEdit, &QLineEdit::textChanged, this, &TAuditForm::AuditSearchEditChange);
    connect(m_auditSearchEdit, &QLineEdit::returnPressed, this, [this] {
        if (m_auditSearchButton->isEnabled())
            AuditSearchButtonClick();
    });
    layout->addWidget(m_auditSearchLabel);
    layout->addSpacing(6);
    layout->addWidget(m_auditSearchEdit, 1);
    layout->addSpacing(2);
    m_auditSearchButton = addButton("AuditSearchButton", "Search", "search", kSearchButtonHint,
                                    &TAuditForm::AuditSearchButtonClick);
    return panel;
}

QWidget* TAuditForm::BuildFilePanel()
{
    QFrame* panel = nullptr;
    QHBoxLayout* layout = Strip(panel, "Panel2", QMargins(8, 4, 6, 4), 6);
    m_filePanel = panel;

    auto* label1 = new QLabel(QStringLiteral("Filename:"));
    label1->setObjectName(QStringLiteral("Label1"));
    m_auditFileNameEdit = new QLineEdit;
    m_auditFileNameEdit->setObjectName(QStringLiteral("AuditFileNameEdit"));
    SetHint(m_auditFileNameEdit, kFileNameHint);
    label1->setBuddy(m_auditFileNameEdit);
    connect(m_auditFileNameEdit, &QLineEdit::textChanged, this, &TAuditForm::AuditFileNameEditChange);
    connect(m_auditFileNameEdit, &QLineEdit::returnPressed, this, [this] {
        if (m_auditOpenButton->isEnabled())
            AuditOpenButtonClick();
    });

    m_auditBrowseButton = new QPushButton(QStringLiteral("Browse..."));
    m_auditBrowseButton->setObjectName(QStringLiteral("AuditBrowseButton"));
    SetHint(m_auditBrowseButton, kBrowseHint);
    connect(m_auditBrowseButton, &QPushButton::clicked, this, &TAuditForm::AuditBrowseButtonClick);

    layout->addWidget(label1);
    layout->addWidget(m_auditFileNameEdit, 1);
    layout->addWidget(m_auditBrowseButton);
    return panel;
}

void TAuditForm::BuildViewer()
{
    m_auditMemo = new TOvcTextFileViewer;
    m_auditMemo->setObjectName(QStringLiteral("AuditMemo"));
    m_auditMemo->SetController(m_controller);
    m_auditMemo->FixedFont().SetName(QStringLiteral("Courier"));
    m_auditMemo->FixedFont().SetSize(10);
    m_auditMemo->SetShowCaret(false);
    SetHint(m_auditMemo, kMemoHint);
}

void TAuditForm::BuildStatusBar()
{
    m_statusPanel = new QLabel;
    m_statusPanel->setObjectName(QStringLiteral("StatusPanel0"));
    m_statusPanel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_statusPanel->setMargin(1);
    // 400 pixels as designed; it takes the rest of the bar too, so that the long hints are not cut.
    m_statusPanel->setMinimumWidth(400);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(m_statusPanel, 1);
    m_stopButton = new QPushButton(QStringLiteral("Stop"));
    m_stopButton->setObjectName(QStringLiteral("StopButton"));
    m_stopButton->setFocusPolicy(Qt::NoFocus);
    m_stopButton->hide();
    connect(m_stopButton, &QPushButton::clicked, this, &TAuditForm::StopRestore);
    statusBar()->addPermanentWidget(m_stopButton);
}

void TAuditForm::SetViewerControlsEnabled(bool enabled)
{
    m_auditPrintButton->setEnabled(enabled);
    m_print1->setEnabled(enabled);
    m_auditRestoreButton->setEnabled(enabled);
    m_restore1->setEnabled(enabled);
    m_auditSearchLabel->setEnabled(enabled);
    m_auditSearchEdit->setEnabled(enabled);
}

void TAuditForm::Exit1Click()
{
    close();
}

void TAuditForm::SetFileName(const std::string& path)
{
    m_auditFileNameEdit->setText(FileNameToText(path));
}

void TAuditForm::AuditOpenButtonClick()
{
    m_auditMemo->SetIsOpen(false);
    SetViewerControlsEnabled(false);
    m_auditSearchButton->setEnabled(false);
    try {
        m_auditMemo->SetFileName(TrimmedText(m_auditFileNameEdit));
        m_auditMemo->SetIsOpen(true);
        // An empty name opens nothing, and nothing is not a displayed report.
        if (!m_auditMemo->IsOpen())
            throw std::runtime_error("no file named");
        SetViewerControlsEnabled(true);
        m_statusPanel->setText(QString::fromLatin1(kDisplayed));
    } catch (...) {
        m_statusPanel->setText(QString::fromLatin1(kNotFound));
        SetViewerControlsEnabled(false);
        m_auditSearchButton->setEnabled(false);
    }
}

void TAuditForm::AuditSearchEditChange()
{
    const QByteArray text = m_auditSearchEdit->text().toUtf8();
    m_auditSearchButton->setEnabled(
        !TrimControlAndBlanks(std::string_view(text.constData(), text.size())).empty());
}

void TAuditForm::AuditFileNameEditChange()
{
    m_auditOpenButton->setEnabled(!TrimmedText(m_auditFileNameEdit).empty());
}

void TAuditForm::AuditSearchButtonClick()
{
    // Searched as typed: blanks around the text are part of what is looked for.
    const std::string text = m_auditSearchEdit->text().toStdString();
    if (!m_auditMemo->Search(text, sfFind))
        m_messages.Information("Search string '" + text + "' not found.");
}

void TAuditForm::AuditBrowseButtonClick()
{
    const QString picked = PickFile ? PickFile() : QString();
    if (!picked.isEmpty())
        m_auditFileNameEdit->setText(picked);
}

void TAuditForm::AuditHelpButtonClick()
{
    HelpCommands(m_help, m_programDir).ShowTopic(kHelpTopic);
}

void TAuditForm::AuditPrintButtonClick()
{
    PrintDocument document;
    document.font = AuditPrintFont();
    document.lineCount = m_auditMemo->LineCount();
    document.line = [this](int line) { return m_auditMemo->GetPrintableLine(line, 1024); };
    const PrintJob::Result result = m_printJob->Print(document);
    if (result != PrintJob::Result::Cancelled)
        m_statusPanel->setText(QString::fromStdString(PrintJob::StatusText(result)));
}

void TAuditForm::AuditRestoreButtonClick()
{
    if (m_restoring || !m_auditMemo->IsOpen())
        return;
    // The selected lines, or the caret's; a highlight that ends at the start of a line leaves that
    // line out, as a selection of whole lines does.
    int first = m_auditMemo->Caret().Line;
    int last = first;
    if (m_auditMemo->HasHighlight()) {
        const ViewerPos start = std::min(m_auditMemo->HighlightStart(), m_auditMemo->HighlightEnd());
        const ViewerPos end = std::max(m_auditMemo->HighlightStart(), m_auditMemo->HighlightEnd());
        first = start.Line;
        last = end.Char == 0 && end.Line > start.Line ? end.Line - 1 : end.Line;
    }
    // From the file, not the view, which keeps only the start of a line of a long path.
    std::vector<std::string> lines;
    try {
        lines = m_auditMemo->WholeLines(first, last);
    } catch (const EInOutError&) {
        m_statusPanel->setText(QString::fromLatin1(kNotFound));
        return;
    }
    // A file replaced since it was opened holds other lines than those shown: none is acted on.
    last = std::min(last, m_auditMemo->LineCount() - 1);
    bool same = lines.size() == static_cast<std::size_t>(std::max(last - first + 1, 0));
    for (std::size_t i = 0; same && i < lines.size(); ++i)
        same = lines[i].starts_with(m_auditMemo->Line(first + static_cast<int>(i)));
    if (!same) {
        m_statusPanel->setText(QString::fromLatin1(kChanged));
        return;
    }
    m_restoreRequest = RestoreRequestOf(lines, m_locale);
    if (m_restoreRequest.files.empty()) {
        const RestoreOutcome nothing;
        m_messages.InformationWithDetails(RestoreText(m_restoreRequest, nothing, m_locale), {});
        return;
    }

    SetRestoring(true);
    m_restoreThread = std::jthread([this, command = m_restoreCommand, files = m_restoreRequest.files,
                                    programDir = m_programDir](std::stop_token stop) {
        const RestoreOutcome outcome = command.Run(
            files, programDir, [&stop] { return stop.stop_requested(); },
            [this](std::size_t, const RestoreResult&) { ++m_restoreSettled; });
        QMetaObject::invokeMethod(
            this, [this, outcome] { RestoreFinished(outcome); }, Qt::QueuedConnection);
    });
}

void TAuditForm::StopRestore()
{
    m_restoreThread.request_stop();
}

void TAuditForm::SetRestoring(bool restoring)
{
    // The window keeps painting and scrolling, but takes no other command until the restore ends.
    m_restoring = restoring;
    m_restoreSettled = 0;
    menuBar()->setEnabled(!restoring);
    m_toolPanel->setEnabled(!restoring);
    m_filePanel->setEnabled(!restoring);
    m_stopRestore->setEnabled(restoring);
    m_stopButton->setVisible(restoring);
    if (restoring) {
        m_restoreTimer.start();
        ShowRestoreCount();
    } else {
        m_restoreTimer.stop();
    }
}

void TAuditForm::ShowRestoreCount()
{
    const auto count = [this](std::size_t n) { return SizeText(static_cast<std::int64_t>(n), m_locale); };
    m_statusPanel->setText(QString::fromStdString("Restoring: " + count(m_restoreSettled) + " of " +
                                                  count(m_restoreRequest.files.size())));
}

void TAuditForm::RestoreFinished(const RestoreOutcome& outcome)
{
    m_restoreThread.join();
    SetRestoring(false);
    Reload();
    const std::string text = RestoreText(m_restoreRequest, outcome, m_locale);
    m_statusPanel->setText(QString::fromStdString(text.substr(0, text.find('\n'))));
    m_messages.InformationWithDetails(text, RestoreDetails(m_restoreRequest, outcome));
}

void TAuditForm::Reload()
{
    const ViewerPos caret = m_auditMemo->Caret();
    const ViewerPos start = m_auditMemo->HighlightStart();
    const ViewerPos end = m_auditMemo->HighlightEnd();
    const bool highlight = m_auditMemo->HasHighlight();
    const int top = m_auditMemo->TopLine();
    try {
        m_auditMemo->SetIsOpen(false);
        m_auditMemo->SetIsOpen(true);
    } catch (...) {
        m_statusPanel->setText(QString::fromLatin1(kNotFound));
        SetViewerControlsEnabled(false);
        m_auditSearchButton->setEnabled(false);
        return;
    }
    if (highlight)
        m_auditMemo->SetHighlight(start.Line, start.Char, end.Line, end.Char, caret == end);
    else
        m_auditMemo->MoveCaretTo(caret.Line, caret.Char, false);
    m_auditMemo->Scroll(0, top - m_auditMemo->TopLine());
}
