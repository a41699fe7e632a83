// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HelpViewerWindow.h"

#include "platform/HelpFileSearch.h"
#include "platform/MessageBoxes.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int kTopicRole = Qt::UserRole;

std::string FileName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

HelpViewerWindow::HelpViewerWindow(MessageBoxes& messages, QWidget* parent)
    : QWidget(parent, Qt::Window), m_messages(messages)
{
    setWindowTitle(QStringLiteral("Help"));
    resize(760, 500);

    m_contents = new QListWidget;
    m_contents->setObjectName(QStringLiteral("HelpContents"));

    auto* indexPage = new QWidget;
    auto* indexLabel = new QLabel(QStringLiteral("&Type a word to list the topics whose titles contain it:"));
    indexLabel->setWordWrap(true);
    m_indexEdit = new QLineEdit;
    m_indexEdit->setObjectName(QStringLiteral("HelpIndexEdit"));
    indexLabel->setBuddy(m_indexEdit);
    m_index = new QListWidget;
    m_index->setObjectName(QStringLiteral("HelpIndex"));
    auto* indexLayout = new QVBoxLayout(indexPage);
    indexLayout->addWidget(indexLabel);
    indexLayout->addWidget(m_indexEdit);
    indexLayout->addWidget(m_index);

    m_tabs = new QTabWidget;
    m_tabs->addTab(m_contents, QStringLiteral("&Contents"));
    m_tabs->addTab(indexPage, QStringLiteral("&Index"));

    m_page = new QTextBrowser;
    m_page->setObjectName(QStringLiteral("HelpPage"));
    m_page->setOpenLinks(false);

    auto* splitter = new QSplitter;
    splitter->addWidget(m_tabs);
    splitter->addWidget(BuildPagePane());
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({250, 510});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    const auto showItem = [this](QListWidgetItem* item) {
        if (item)
            ShowTopic(item->data(kTopicRole).toULongLong());
    };
    connect(m_contents, &QListWidget::itemActivated, this, showItem);
    connect(m_contents, &QListWidget::itemClicked, this, showItem);
    connect(m_index, &QListWidget::itemActivated, this, showItem);
    connect(m_index, &QListWidget::itemClicked, this, showItem);
    connect(m_indexEdit, &QLineEdit::textChanged, this, &HelpViewerWindow::FillIndex);
    connect(m_indexEdit, &QLineEdit::returnPressed, this, [this, showItem] { showItem(m_index->item(0)); });
    connect(m_page, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        // Topics link to each other by key; nothing in a help page leaves the viewer.
        if (url.hasFragment() && url.path().isEmpty())
            JumpID(url.fragment().toStdString());
    });
}

QWidget* HelpViewerWindow::BuildPagePane()
{
    m_back = new QAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("&Back"), this);
    m_back->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    m_back->setToolTip(QStringLiteral("Back to the topic shown before (Alt+Left)"));
    m_forward = new QAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("&Forward"), this);
    m_forward->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    m_forward->setToolTip(QStringLiteral("Forward to the topic shown after (Alt+Right)"));
    auto* close = new QAction(QStringLiteral("Close"), this);
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    addActions({m_back, m_forward, close});
    connect(m_back, &QAction::triggered, this, [this] { StepThroughHistory(m_history.Back()); });
    connect(m_forward, &QAction::triggered, this, [this] { StepThroughHistory(m_history.Forward()); });
    connect(close, &QAction::triggered, this, &QWidget::close);

    auto* pagePane = new QWidget;
    auto* navigation = new QHBoxLayout;
    for (QAction* action : {m_back, m_forward}) {
        auto* button = new QToolButton;
        button->setObjectName(action == m_back ? QStringLiteral("HelpBack") : QStringLiteral("HelpForward"));
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        navigation->addWidget(button);
    }
    navigation->addStretch(1);
    auto* pageLayout = new QVBoxLayout(pagePane);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addLayout(navigation);
    pageLayout->addWidget(m_page);
    return pagePane;
}

bool HelpViewerWindow::Open(const std::string& helpFile)
{
    std::string path = LocateHelpFile(helpFile, QCoreApplication::applicationDirPath().toStdString());
    if (path.empty())
        path = helpFile;
    if (m_document && path == m_openedFile)
        return true;

    std::optional<HelpDocument> document = HelpDocument::Load(path);
    if (!document) {
        m_messages.Error("Cannot find the help file " + FileName(helpFile) +
                         ". Make sure it is in the folder Lintwick was started in, beside the program, or in "
                         "share/lintwick/ of the folder the program was installed in.");
        return false;
    }
    m_document = std::move(document);
    m_openedFile = path;
    m_history.Clear();
    setWindowTitle(m_document->title().empty() ? QStringLiteral("Help")
                                               : QString::fromStdString(m_document->title()));
    m_currentTopic.clear();
    m_contents->clear();
    for (size_t i = 0; i < m_document->topics().size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(m_document->topics()[i].title), m_contents);
        item->setData(kTopicRole, static_cast<qulonglong>(i));
    }
    FillIndex();
    return true;
}

void HelpViewerWindow::FillIndex()
{
    m_index->clear();
    if (!m_document)
        return;
    for (size_t i : m_document->indexEntries(m_indexEdit->text().toStdString())) {
        auto* item = new QListWidgetItem(QString::fromStdString(m_document->topics()[i].title), m_index);
        item->setData(kTopicRole, static_cast<qulonglong>(i));
    }
    m_index->setCurrentRow(0);
}

void HelpViewerWindow::ShowTopic(size_t topic)
{
    if (!m_document || topic >= m_document->topics().size())
        return;
    const HelpTopic& shown = m_document->topics()[topic];
    m_currentTopic = shown.id;
    m_page->document()->setDefaultStyleSheet(QString::fromStdString(m_document->style()));
    m_page->setHtml(QString::fromStdString(shown.html));
    m_contents->setCurrentRow(static_cast<int>(topic));
    m_history.Visit(topic);
    m_back->setEnabled(m_history.CanGoBack());
    m_forward->setEnabled(m_history.CanGoForward());
}

void HelpViewerWindow::StepThroughHistory(std::optional<size_t> topic)
{
    if (topic)
        ShowTopic(*topic);
}

void HelpViewerWindow::Present()
{
    show();
    raise();
    activateWindow();
}

void HelpViewerWindow::Finder(const std::string& helpFile)
{
    if (!Open(helpFile))
        return;
    if (m_currentTopic.empty() && !m_document->topics().empty())
        ShowTopic(0);
    m_tabs->setCurrentIndex(0);
    Present();
    m_contents->setFocus();
}

bool HelpViewerWindow::Contents(const std::string& helpFile)
{
    if (!Open(helpFile))
        return false;
    if (!m_document->topics().empty())
        ShowTopic(0);
    Present();
    return true;
}

void HelpViewerWindow::JumpID(const std::string& key)
{
    if (!m_document)
        return;
    const HelpTopic* topic = m_document->find(key);
    if (!topic) {
        m_messages.Error("The topic " + key + " is not in the help file " + FileName(m_openedFile) + ".");
        return;
    }
    ShowTopic(static_cast<size_t>(topic - m_document->topics().data()));
    Present();
}
