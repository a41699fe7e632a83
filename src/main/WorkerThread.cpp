// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/WorkerThread.h"

#include <cstdio>
#include <cstdlib>

bool WorkerThread::Link::tell(const std::function<void()>& news)
{
    std::lock_guard lock(m_mutex);
    if (m_attached && news)
        news();
    return m_attached;
}

WorkerThread::~WorkerThread()
{
    if (!m_link)
        return;
    {
        std::lock_guard lock(m_link->m_mutex);
        m_link->m_attached = false;
    }
    if (!StopAndJoin(kStopGrace))
        m_thread.detach();
}

void WorkerThread::start(std::function<void(Link& link)> job, std::function<void()> ended)
{
    auto link = std::make_shared<Link>();
    m_thread = std::thread([link, job = std::move(job), ended = std::move(ended)] {
        std::exception_ptr error;
        try {
            job(*link);
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(link->m_mutex);
        link->m_error = error;
        link->m_done = true;
        link->m_ended.notify_all();
        if (link->m_attached && ended)
            ended();
    });
    m_link = std::move(link);
}

void WorkerThread::stop()
{
    if (m_link)
        m_link->stop = true;
}

bool WorkerThread::StopAndJoin(std::chrono::milliseconds grace)
{
    if (!m_thread.joinable())
        return true;
    std::unique_lock lock(m_link->m_mutex);
    m_link->stop = true;
    const bool ended = m_link->m_ended.wait_for(lock, grace, [this] { return m_link->m_done; });
    lock.unlock();
    if (ended)
        m_thread.join();
    return ended;
}

void WorkerThread::join()
{
    if (m_thread.joinable())
        m_thread.join();
    const std::shared_ptr<Link> link = std::move(m_link);
    if (link && link->m_error)
        std::rethrow_exception(link->m_error);
}

bool WorkerThread::joinWithoutFault()
{
    try {
        join();
    } catch (...) {
        return false;
    }
    return true;
}

void WorkerThread::JoinOrExit(std::chrono::milliseconds grace, int status)
{
    if (StopAndJoin(grace))
        return;
    std::fflush(nullptr);
    std::_Exit(status);
}
