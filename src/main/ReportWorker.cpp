// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ReportWorker.h"

#include <atomic>

// Shared by the worker thread and the owner: a run left behind at destruction keeps it alive until
// its thread ends.
struct ReportWorker::State
{
    State(ReportRequest r, ResultTable t) : request(std::move(r)), table(std::move(t)) {}

    ReportRequest request;
    ResultTable table;
    ReportRunner runner;
    std::atomic<std::int64_t> files = 0;
    ReportOutcome outcome;
};

void ReportWorker::start(ReportRequest request, ResultTable table, Listener listener)
{
    auto state = std::make_shared<State>(std::move(request), std::move(table));
    state->runner.afterDirectoryRead = afterDirectoryRead;
    m_state = state;
    const auto job = [state, rootStarted = std::move(listener.rootStarted)](WorkerThread::Link& link) {
        std::string currentRoot;
        const ReportProgress progress = [&](const std::string& root, std::int64_t files) {
            state->files.store(files, std::memory_order_relaxed);
            if (root == currentRoot)
                return;
            currentRoot = root;
            link.tell([&] {
                if (rootStarted)
                    rootStarted(root);
            });
        };
        state->outcome = state->runner.run(state->request, state->table, progress, &link.stop);
    };
    m_thread.start(job, std::move(listener.finished));
}

void ReportWorker::stop()
{
    m_thread.stop();
}

std::int64_t ReportWorker::filesExamined() const
{
    return m_state ? m_state->files.load(std::memory_order_relaxed) : 0;
}

ReportOutcome ReportWorker::finish(ResultTable& table)
{
    const std::shared_ptr<State> state = std::move(m_state);
    m_thread.join();
    table = std::move(state->table);
    return state->outcome;
}
