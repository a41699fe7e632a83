// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/HelpDocument.h"
#include "platform/HelpViewer.h"
#include "platform/TopicHistory.h"

#include <QWidget>

#include <optional>
#include <string>

class MessageBoxes;
class QAction;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

// The help viewer as a window of its own, not modal: a finder on the left (a Contents tab with every
// topic heading in file order, an Index tab whose list filters as one types) and the current topic
// on the right. Links of the form "#KEY" jump to other topics; Back and Forward (Alt+Left, Alt+Right)
// walk the topics shown since the file was opened. Escape and Ctrl+W close the window.
class HelpViewerWindow : public QWidget, public HelpViewer
{
public:
    explicit HelpViewerWindow(MessageBoxes& messages, QWidget* parent = nullptr);

    void Finder(const std::string& helpFile) override;
    bool Contents(const std::string& helpFile) override;
    void JumpID(const std::string& key) override;

    // The id of the topic showing, empty when none.
    const std::string& currentTopic() const { return m_currentTopic; }
    // Where the file opened last was found; empty when none is open.
    const std::string& openedFile() const { return m_openedFile; }

private:
    // The page with Back and Forward above it; also makes the window's Close command.
    QWidget* BuildPagePane();
    // Reads the help file LocateHelpFile finds for helpFile unless it is already open.
    bool Open(const std::string& helpFile);
    void ShowTopic(size_t topic);
    void StepThroughHistory(std::optional<size_t> topic);
    void FillIndex();
    void Present();

    MessageBoxes& m_messages;
    std::optional<HelpDocument> m_document;
    std::string m_openedFile;
    std::string m_currentTopic;
    QTabWidget* m_tabs = nullptr;
    QListWidget* m_contents = nullptr;
    QLineEdit* m_indexEdit = nullptr;
    QListWidget* m_index = nullptr;
    QTextBrowser* m_page = nullptr;
    TopicHistory m_history;
    QAction* m_back = nullptr;
    QAction* m_forward = nullptr;
};
