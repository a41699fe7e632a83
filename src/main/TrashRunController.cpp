// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/TrashRunController.h"

#include "audit/RunSummaries.h"
#include "platform/MessageBoxes.h"
#include "scan/ResultTable.h"
#include "scan/RowForms.h"

#include <QLabel>

#include <atomic>

namespace {

constexpr const char* kDeleting = "Deleting: ";
constexpr const char* kRestoring = "Restoring: ";
constexpr const char* kOf = " of ";
constexpr const char* kRunFailed =
    "The run ended by a fault. The audit log names every file it moved or restored.";

QString FirstLine(const std::string& text)
{
    return QString::fromStdString(text.substr(0, text.find('\n')));
}

} // namespace

struct TrashRunController::State
{
    const char* verb = "";
    std::size_t total = 0;
    std::atomic<std::size_t> done = 0;
    TrashRunSummary moved;
    std::vector<TrashedRow> undone; // what an Undo Delete restores, with its outcome
    RestoreOutcome restored;
};

TrashRunController::TrashRunController(Window window)
    : m_window(std::move(window)), m_trashRun(m_window.table->locale()),
      m_restoreCommand(m_window.table->locale()),
      // Wide enough for counts of a hundred million.
      m_indicator(
          m_window.window, QStringLiteral("CountPanel"),
          QString::fromStdString(kRestoring + SizeText(888888888, m_window.table->locale()) + kOf +
                                 SizeText(888888888, m_window.table->locale())),
          [this] { return CountText(); }, [this] { Stop(); })
{}

bool TrashRunController::StartDelete(const std::vector<int>& rows, const std::string& programDir)
{
    if (Running())
        return false;
    auto state = std::make_shared<State>();
    std::vector<TrashRunFile> files = TrashRun::FilesOfRows(*m_window.table, rows);
    state->verb = kDeleting;
    state->total = files.size();
    // Rows are marked on the window thread, from queued calls that only the worker's news sends, and
    // only while this object owns the worker (Link::tell); Qt drops calls still queued when it goes.
    const auto job = [this, state, run = m_trashRun, files = std::move(files),
                      programDir](WorkerThread::Link& link) {
        state->moved = run.Run(
            files, programDir, [&link] { return link.stop.load(); },
            [&](const TrashRunProgress& progress) {
                state->done.store(progress.done);
                if (progress.markable.empty())
                    return;
                link.tell([&] {
                    QMetaObject::invokeMethod(
                        this, [this, rows = progress.markable] { m_window.deleted(rows); },
                        Qt::QueuedConnection);
                });
            });
    };
    m_state = state;
    m_thread.start(job, [this] {
        QMetaObject::invokeMethod(this, &TrashRunController::DeleteFinished, Qt::QueuedConnection);
    });
    Begin();
    return true;
}

void TrashRunController::Deleted(int row, const TrashedFile& file)
{
    m_undoable = {{row, file}};
    m_window.changed();
}

bool TrashRunController::StartUndo(const std::string& programDir)
{
    if (Running() || m_undoable.empty())
        return false;
    auto state = std::make_shared<State>();
    state->verb = kRestoring;
    state->total = m_undoable.size();
    state->undone = std::exchange(m_undoable, {});
    std::vector<TrashedFile> files;
    for (const TrashedRow& trashed : state->undone)
        files.push_back(trashed.file);
    const auto job = [state, command = m_restoreCommand, files = std::move(files),
                      programDir](WorkerThread::Link& link) {
        state->restored = command.Run(
            files, programDir, [&link] { return link.stop.load(); },
            [&](std::size_t, const RestoreResult&) { ++state->done; });
    };
    m_state = state;
    m_thread.start(job, [this] {
        QMetaObject::invokeMethod(this, &TrashRunController::UndoFinished, Qt::QueuedConnection);
    });
    Begin();
    return true;
}

void TrashRunController::Forget()
{
    m_undoable.clear();
}

void TrashRunController::Begin()
{
    m_window.statusPanel1->clear();
    m_indicator.begin();
    m_window.changed();
}

QString TrashRunController::CountText() const
{
    if (!m_state)
        return {};
    const LocaleSettings& locale = m_window.table->locale();
    return QString::fromStdString(m_state->verb +
                                  SizeText(static_cast<std::int64_t>(m_state->done.load()), locale) + kOf +
                                  SizeText(static_cast<std::int64_t>(m_state->total), locale));
}

bool TrashRunController::End()
{
    const bool joined = m_thread.joinWithoutFault();
    m_indicator.end();
    if (!joined) {
        m_window.statusPanel1->clear();
        m_window.changed();
        m_window.messages->Error(kRunFailed);
    }
    return joined;
}

void TrashRunController::DeleteFinished()
{
    const std::shared_ptr<State> state = std::move(m_state);
    if (!End())
        return;
    const TrashRunSummary& summary = state->moved;
    if (!summary.trashed.empty())
        m_undoable = summary.trashed;
    const std::string text = TrashRunText(summary, m_window.table->locale());
    m_window.statusPanel1->setText(FirstLine(text));
    m_window.changed();
    m_window.messages->InformationWithDetails(text, TrashRunDetails(summary));
}

void TrashRunController::UndoFinished()
{
    const std::shared_ptr<State> state = std::move(m_state);
    // After a fault, which files came back is not known: a new Undo Delete tries them all, and those
    // back already are refused as no longer in the trash.
    m_undoable = state->undone;
    if (!End())
        return;
    m_undoable.clear();
    const std::vector<RestoreResult>& results = state->restored.results;
    std::vector<int> rows;
    for (std::size_t i = 0; i < results.size() && i < state->undone.size(); ++i) {
        if (results[i].status == RestoreStatus::Restored)
            rows.push_back(state->undone[i].row);
        else if (results[i].status == RestoreStatus::NotTried)
            m_undoable.push_back(state->undone[i]);
    }
    m_window.restored(rows);
    RestoreRequest request;
    for (const TrashedRow& trashed : state->undone)
        request.files.push_back(trashed.file);
    const std::string text = RestoreText(request, state->restored, m_window.table->locale());
    m_window.statusPanel1->setText(FirstLine(text));
    m_window.changed();
    // A single file that came back needs no box: its row says so.
    if (request.files.size() > 1 || rows.size() != request.files.size() || state->restored.auditFailed)
        m_window.messages->InformationWithDetails(text, RestoreDetails(request, state->restored));
}
