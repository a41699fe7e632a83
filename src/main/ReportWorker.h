// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/WorkerThread.h"
#include "scan/ReportRunner.h"
#include "scan/ResultTable.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// One report run on a thread of its own, made with ReportRunner exactly as lintwick-report makes it.
// The run owns its table from start() until finish() hands it back, so no table is ever read by one
// thread while another writes it. Destroyed during a run, it stops the run as WorkerThread does.
class ReportWorker
{
public:
    // Told on the worker thread; never after the worker was destroyed.
    struct Listener
    {
        std::function<void(const std::string& root)> rootStarted; // a root's walk begins
        std::function<void()> finished;                           // finish() returns at once now
    };

    // Starts a run that fills table (whose memory it reuses); not while running() is true.
    void start(ReportRequest request, ResultTable table, Listener listener);
    // From start() until finish().
    bool running() const { return m_thread.running(); }
    // Asks the run to end early; it keeps what it found so far, as ReportRunner does.
    void stop();
    // Regular files examined so far in this run; 0 when none is running.
    std::int64_t filesExamined() const;
    // Waits for the run's end and moves its report into table. When the run failed, rethrows its
    // exception and leaves table as it was.
    ReportOutcome finish(ResultTable& table);
    // At the end of the program: see WorkerThread::JoinOrExit.
    void JoinOrExit(std::chrono::milliseconds grace, int status) { m_thread.JoinOrExit(grace, status); }

    // Handed to ReportRunner::afterDirectoryRead of every run started afterwards; for tests.
    std::function<void(const std::string& directory)> afterDirectoryRead;

private:
    struct State;
    std::shared_ptr<State> m_state;
    WorkerThread m_thread;
};
