// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audit/RestoreCommand.h"
#include "audit/TrashRun.h"
#include "main/RunIndicator.h"
#include "main/WorkerThread.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class MessageBoxes;
class QLabel;
class QMainWindow;
class ResultTable;
class StatusBarPanel;

// The main window's runs over many files of the report: Delete with marks, which moves the files of
// rows to the trash (TrashRun), and Undo Delete, which brings back the files of the window's last
// Delete (RestoreCommand). Each runs on a worker thread; meanwhile the window keeps painting but takes
// no user command, a status section of the run's own counts the files dealt with, and Esc stops the
// run after the file or group at hand. The end shows one box: what was done, and each file that
// failed with its reason in the details.
class TrashRunController : public QObject
{
public:
    // The main window's parts a run works on; they outlive the controller.
    struct Window
    {
        QMainWindow* window;
        QLabel* statusPanel1;
        MessageBoxes* messages;
        // Read on the window thread only; the window changes its rows through the two calls below.
        const ResultTable* table;
        // On the window thread: the files of rows went to the trash, their audit lines on the disk.
        std::function<void(const std::vector<int>& rows)> deleted;
        // On the window thread: the files of rows are back where the report found them.
        std::function<void(const std::vector<int>& rows)> restored;
        // A run began or ended, or what Undo Delete would restore changed.
        std::function<void()> changed;
    };

    explicit TrashRunController(Window window);

    // What the runs use; tests give them a trash, a clock and a group size of their own.
    void SetTrashRun(TrashRun run) { m_trashRun = std::move(run); }
    void SetRestoreCommand(RestoreCommand command) { m_restoreCommand = std::move(command); }

    // Moves the files of rows (separator and deleted rows left out) to the trash with the audit log in
    // programDir. Refused (false) while a run is under way. A run that moves at least one file becomes
    // what Undo Delete restores.
    bool StartDelete(const std::vector<int>& rows, const std::string& programDir);
    // A single Delete moved the file of row: Undo Delete restores that file now.
    void Deleted(int row, const TrashedFile& file);
    // Whether Undo Delete has files to restore: those of the last Delete since the report, not yet
    // restored.
    bool CanUndo() const { return !m_undoable.empty(); }
    // Restores them with the audit log in programDir. Files a stop left untried stay for the next Undo
    // Delete; the others are forgotten, restored or not. Refused (false) while a run is under way or
    // with nothing to undo.
    bool StartUndo(const std::string& programDir);
    // The report went: there is nothing to undo any more.
    void Forget();

    bool Running() const { return m_thread.running(); }
    void Stop() { m_thread.stop(); }
    // The status section that counts, shown during a run only.
    StatusBarPanel* CountPanel() const { return m_indicator.panel(); }
    // For the program's end.
    WorkerThread& Worker() { return m_thread; }

private:
    struct State;
    void Begin();
    QString CountText() const;
    void DeleteFinished();
    void UndoFinished();
    // Joins the worker and ends the run's look; false after a fault of the run, which a box told.
    bool End();

    Window m_window;
    TrashRun m_trashRun;
    RestoreCommand m_restoreCommand;
    std::vector<TrashedRow> m_undoable;
    std::shared_ptr<State> m_state;
    WorkerThread m_thread;
    RunIndicator m_indicator;
};
