// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/UserInputBlocker.h"

#include <QObject>
#include <QTimer>

#include <functional>

class QMainWindow;
class StatusBarPanel;

// How the main window looks while one of its long jobs runs on a worker thread: the hourglass, a
// status section of the job's own that shows progress() a few times a second, and no user input
// (UserInputBlocker) but Esc, which is handed to stop. The section is hidden outside the job.
class RunIndicator : public QObject
{
public:
    static constexpr int kInterval = 250; // ms between updates of the section

    // The section is named name and made wide enough for widest, so that it does not grow as the job
    // goes on.
    RunIndicator(QMainWindow* window, const QString& name, const QString& widest,
                 std::function<QString()> progress, std::function<void()> stop);
    ~RunIndicator() override;

    void begin();
    // Also when the job ended by a fault.
    void end();
    StatusBarPanel* panel() const { return m_panel; }

private:
    void Refresh();

    std::function<QString()> m_progress;
    UserInputBlocker m_blocker;
    QTimer m_timer;
    StatusBarPanel* m_panel = nullptr;
    bool m_hourglass = false;
};
