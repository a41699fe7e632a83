// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/ReportRunner.h"
#include "scan/ResultTable.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

// One report run on a thread of its own, made with ReportRunner exactly as lintwick-report makes it.
// The run owns its table from start() until finish() hands it back, so no table is ever read by one
// thread while another writes it.
class ReportWorker
{
public:
    // Told on the worker thread; never after the worker was destroyed.
    struct Listener
    {
        std::function<void(const std::string& root)> rootStarted; // a root's walk begins
        std::function<void()> finished;                           // finish() returns at once now
    };

    // How long destruction waits for a stopped run to end before leaving it behind. A stopped walk
    // ends within a tenth of a second, its measuring and sort soon after.
    static constexpr std::chrono::milliseconds kStopGrace{200};

    ReportWorker() = default;
    // Stops a run that is still going and waits up to kStopGrace for it. A run that takes longer (a
    // directory read may hang on a dead network mount) is left to end on its own, with the table it
    // fills, so that a window going away never waits for it; the program's end calls JoinOrExit.
    ~ReportWorker();
    ReportWorker(const ReportWorker&) = delete;
    ReportWorker& operator=(const ReportWorker&) = delete;

    // Starts a run that fills table (whose memory it reuses); not while running() is true.
    void start(ReportRequest request, ResultTable table, Listener listener);
    // From start() until finish().
    bool running() const { return m_state != nullptr; }
    // Asks the run to end early; it keeps what it found so far, as ReportRunner does.
    void stop();
    // Regular files examined so far in this run; 0 when none is running.
    std::int64_t filesExamined() const;
    // Waits for the run's end and moves its report into table. When the run failed, rethrows its
    // exception and leaves table as it was.
    ReportOutcome finish(ResultTable& table);
    // Groups found by the last finished run (duplicates).
    int GroupCount() const { return m_groupCount; }
    // At the end of the program: stops a run still going and joins its thread, waiting up to grace,
    // so that main returns with no thread of the worker alive. A run that does not end in time would
    // go on beside the teardown of what it uses; the process then ends at once with status instead,
    // without returning.
    void JoinOrExit(std::chrono::milliseconds grace, int status);

    // Handed to ReportRunner::afterDirectoryRead of every run started afterwards; for tests.
    std::function<void(const std::string& directory)> afterDirectoryRead;

private:
    // Stops the run and waits up to grace for its thread to end, then joins it. False when it did not
    // end in time; true also when no thread runs.
    bool StopAndJoin(std::chrono::milliseconds grace);

    struct State;
    std::shared_ptr<State> m_state;
    std::thread m_thread;
    int m_groupCount = 0;
};
