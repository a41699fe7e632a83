// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/RunIndicator.h"
#include "main/WorkerThread.h"
#include "scan/ContentCheck.h"

#include <QObject>

#include <functional>
#include <memory>

class MessageBoxes;
class QLabel;
class QMainWindow;
class ResultTable;
class StatusBarPanel;

// Compare Contents: the content check of the duplicates report on screen, made as lintwick-report
// makes it, on a worker thread. Meanwhile the window keeps painting and showing the report but takes
// no user command; a status section of its own shows the bytes read of the bytes to read, and Esc
// stops the check, which keeps the classes found so far.
class ContentCompareController : public QObject
{
public:
    // The main window's parts a check works on; they outlive the controller.
    struct Window
    {
        QMainWindow* window;
        QLabel* statusPanel1;
        MessageBoxes* messages;
        // Read by the check while the window shows it: nobody changes it until the check ends. Shared,
        // so that a check left behind by a window that went still has it.
        std::shared_ptr<const ResultTable> table;
        // Told on the window thread when a check ends: its classes, or nullptr after a fault.
        std::function<void(ContentClasses* found)> ended;
    };

    explicit ContentCompareController(Window window);

    // Starts the check of the table's rows; refused (false) while one runs.
    bool Start();
    bool Running() const { return m_thread.running(); }
    void Stop() { m_thread.stop(); }

    // The status section with the bytes read, shown during a check only.
    StatusBarPanel* BytesPanel() const { return m_indicator.panel(); }
    // For the program's end.
    WorkerThread& Worker() { return m_thread; }
    // Handed to ContentCheck::beforeWholeRead of every check started afterwards; for tests.
    std::function<void(int row)> beforeWholeRead;

private:
    QString ProgressText() const;
    void Finished();

    struct State;
    Window m_window;
    std::shared_ptr<State> m_state;
    WorkerThread m_thread;
    RunIndicator m_indicator;
};
