// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TAuditForm.h"

#include "platform/FileNameText.h"
#include "platform/MessageBoxes.h"
#include "print/PrintJob.h"
#include "scan/MaskMatcher.h"
#include "ui/HelpCommands.h"
#include "ui/MenuFont.h"
#include "ui/SetHint.h"
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
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

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

constexpr const char* kHelpTopic = "SCRIBBLE40";
constexpr const char* kDisplayed = "Audit Report Displayed Successfully";
constexpr const char* kNotFound = "Audit Report File Empty Or Not Found";

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
      m_printJob(std::make_unique<PrintJob>(printing, messages, std::move(locale))),
      m_controller(std::make_shared<TOvcController>())
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
}

QWidget* TAuditForm::BuildToolPanel()
{
    QFrame* panel = nullptr;
    QHBoxLayout* layout = Strip(panel, "Panel1", QMargins(1, 1, 6, 1), 0);

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
}

void TAuditForm::SetViewerControlsEnabled(bool enabled)
{
    m_auditPrintButton->setEnabled(enabled);
    m_print1->setEnabled(enabled);
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
