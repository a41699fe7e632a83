// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ReportWorker.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <mutex>

// Shared by the worker thread and the owner: a worker left behind at destruction keeps it alive
// until its thread ends.
struct ReportWorker::State
{
    State(ReportRequest r, ResultTable t) : request(std::move(r)), table(std::move(t)) {}

    ReportRequest request;
    ResultTable table;
    ReportRunner runner;
    std::atomic<bool> stop = false;
    std::atomic<std::int64_t> files = 0;

    std::mutex mutex; // guards the members below
    std::condition_variable ended;
    bool done = false;
    Listener listener; // emptied when the owner lets go of the run
    ReportOutcome outcome;
    std::exception_ptr error;
};

ReportWorker::~ReportWorker()
{
    if (!m_state)
        return;
    {
        std::lock_guard lock(m_state->mutex);
        m_state->listener = {};
    }
    if (!StopAndJoin(kStopGrace))
        m_thread.detach();
}

bool ReportWorker::StopAndJoin(std::chrono::milliseconds grace)
{
    if (!m_thread.joinable())
        return true;
    std::unique_lock lock(m_state->mutex);
    m_state->stop = true;
    const bool ended = m_state->ended.wait_for(lock, grace, [this] { return m_state->done; });
    lock.unlock();
    if (ended)
        m_thread.join();
    return ended;
}

void ReportWorker::JoinOrExit(std::chrono::milliseconds grace, int status)
{
    if (StopAndJoin(grace))
        return;
    std::fflush(nullptr);
    std::_Exit(status);
}

void ReportWorker::start(ReportRequest request, ResultTable table, Listener listener)
{
    auto state = std::make_shared<State>(std::move(request), std::move(table));
    state->listener = std::move(listener);
    state->runner.afterDirectoryRead = afterDirectoryRead;
    m_state = state;
    m_thread = std::thread([state] {
        std::string currentRoot;
        const ReportProgress progress = [&](const std::string& root, std::int64_t files) {
            state->files.store(files, std::memory_order_relaxed);
            if (root == currentRoot)
                return;
            currentRoot = root;
            std::lock_guard lock(state->mutex);
            if (state->listener.rootStarted)
                state->listener.rootStarted(root);
        };
        try {
            state->outcome = state->runner.run(state->request, state->table, progress, &state->stop);
        } catch (...) {
            state->error = std::current_exception();
        }
        std::lock_guard lock(state->mutex);
        state->done = true;
        state->ended.notify_all();
        if (state->listener.finished)
            state->listener.finished();
    });
}

void ReportWorker::stop()
{
    if (m_state)
        m_state->stop = true;
}

std::int64_t ReportWorker::filesExamined() const
{
    return m_state ? m_state->files.load(std::memory_order_relaxed) : 0;
}

ReportOutcome ReportWorker::finish(ResultTable& table)
{
    if (m_thread.joinable())
        m_thread.join();
    const std::shared_ptr<State> state = std::move(m_state);
    m_groupCount = state->runner.GroupCount();
    if (state->error)
        std::rethrow_exception(state->error);
    table = std::move(state->table);
    return state->outcome;
}
