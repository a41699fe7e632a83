// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// A long job of the main window on a thread of its own, which its owner can ask to stop. The job
// keeps alive what it works on (through what its function holds), so an owner that goes away never
// waits long for it: a job that does not end within kStopGrace of its stop (a read that hangs on a
// dead network mount) is left to end on its own, and the program's end calls JoinOrExit.
class WorkerThread
{
public:
    // What the job shares with its owner; the job's function is given it on the worker thread.
    class Link
    {
    public:
        // Set by stop(); the job ends soon once it is.
        std::atomic<bool> stop = false;
        // Runs news on the worker thread, unless the owner has let go of the job: then nothing runs,
        // and false is returned. Owner and news are never at work on the owner's side at once.
        bool tell(const std::function<void()>& news);

    private:
        friend class WorkerThread;
        std::mutex m_mutex; // guards the members below
        std::condition_variable m_ended;
        bool m_done = false;
        bool m_attached = true; // the owner has not let go
        std::exception_ptr m_error;
    };

    // How long destruction waits for a stopped job to end before leaving it behind.
    static constexpr std::chrono::milliseconds kStopGrace{200};

    WorkerThread() = default;
    // Stops a job that is still going and waits up to kStopGrace for it, then lets go of it.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts job on a new thread; not while running(). When the job has returned (or thrown), ended
    // is told as news. Throws std::system_error when the system gives no thread.
    void start(std::function<void(Link& link)> job, std::function<void()> ended);
    // From start() until join().
    bool running() const { return m_link != nullptr; }
    void stop();
    // Waits for the job's end; rethrows what the job threw.
    void join();
    // Waits for the job's end; false when the job threw.
    bool joinWithoutFault();
    // At the end of the program: stops a job still going and joins its thread, waiting up to grace,
    // so that main returns with no thread of the job alive. A job that does not end in time would go
    // on beside the teardown of what it uses; the process then ends at once with status instead,
    // without returning.
    void JoinOrExit(std::chrono::milliseconds grace, int status);

private:
    // Stops the job and waits up to grace for it to end, then joins its thread. False when it did not
    // end in time; true also when no thread runs.
    bool StopAndJoin(std::chrono::milliseconds grace);

    std::shared_ptr<Link> m_link;
    std::thread m_thread;
};
