// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ReportWorker.h"

#include "TempTree.h"
#include "WalkGate.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <stdexcept>

namespace {

// What the worker told, from its own thread.
struct Told
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> roots;
    bool finished = false;

    ReportWorker::Listener Listener()
    {
        return {[this](const std::string& root) {
                    std::lock_guard lock(mutex);
                    roots.push_back(root);
                },
                [this] {
                    std::lock_guard lock(mutex);
                    finished = true;
                    changed.notify_all();
                }};
    }
    bool WaitFinished()
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(30), [this] { return finished; });
    }
};

ReportRequest Dupes(std::vector<std::string> roots)
{
    ReportRequest request;
    request.roots = std::move(roots);
    request.mask = "*.*";
    return request;
}

} // namespace

TEST(ReportWorker, RunsOnItsThreadAndHandsTheReportBack)
{
    TempTree tree;
    tree.file("one/README.TXT");
    tree.file("two/sub/readme.txt");
    tree.file("two/only.txt");

    // The table handed in is the old report; its rows go, its memory is reused.
    ResultTable old;
    entrytype stale;
    stale.name = "stale";
    old.appendEntry(stale);
    old.addRow(0);

    Told told;
    ReportWorker worker;
    worker.start(Dupes({tree.path("one/"), tree.path("two/")}), std::move(old), told.Listener());
    EXPECT_TRUE(worker.running());
    ASSERT_TRUE(told.WaitFinished());

    ResultTable table;
    const ReportOutcome outcome = worker.finish(table);
    EXPECT_FALSE(worker.running());
    EXPECT_EQ(outcome.text, "Dust Complete: 1 Groups Found");
    EXPECT_EQ(worker.GroupCount(), 1);
    ASSERT_EQ(table.LastRow(), 1);
    EXPECT_EQ(table.RowPaths(0), tree.path("one/README.TXT"));
    EXPECT_EQ(table.RowPaths(1), tree.path("two/sub/readme.txt"));
    EXPECT_EQ(told.roots, (std::vector<std::string>{tree.path("one/"), tree.path("two/")}));
    EXPECT_EQ(worker.filesExamined(), 0); // nothing runs any more
}

TEST(ReportWorker, AFaultOfTheRunComesBackFromFinish)
{
    TempTree tree;
    tree.file("a.txt");
    ReportWorker worker;
    // Called on the run's own thread once the walk is over.
    worker.afterDirectoryRead = [](const std::string& directory) {
        if (directory.empty())
            throw std::runtime_error("Out of disk quota");
    };
    Told told;
    worker.start(Dupes({tree.root()}), ResultTable(), told.Listener());
    ASSERT_TRUE(told.WaitFinished());

    ResultTable table;
    table.addSeparatorRow();
    EXPECT_THROW(
        {
            try {
                worker.finish(table);
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "Out of disk quota");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_EQ(table.LastRow(), 0); // left as it was
    EXPECT_FALSE(worker.running());
}

TEST(ReportWorker, DestructionStopsTheRunAndDoesNotWaitForAWalkThatHangs)
{
    TempTree tree;
    tree.file("one/a.txt");
    tree.file("one/sub/b.txt");
    const auto gate = std::make_shared<WalkGate>();
    gate->HoldAt(tree.path("one/"));
    // Goes when the last copy of the hook goes, that is when the run's thread has ended.
    auto token = std::make_shared<int>();
    const std::weak_ptr<int> runAlive = token;

    Told told;
    {
        ReportWorker worker;
        worker.afterDirectoryRead = [gate, token](const std::string& directory) { gate->Arrive(directory); };
        token.reset();
        worker.start(Dupes({tree.path("one/"), tree.root()}), ResultTable(), told.Listener());
        while (!gate->Arrived(tree.path("one/")))
            std::this_thread::yield();
    }
    // Destroyed while its walk hangs in a directory read.
    EXPECT_TRUE(gate->Arrived(tree.path("one/")));

    // Let go, the run sees its stop: it reads no other directory (the empty path marks the
    // measuring of what was found), tells nothing and ends.
    gate->ReleaseAll();
    while (!runAlive.expired())
        std::this_thread::yield();
    EXPECT_EQ(gate->Visited(), (std::vector<std::string>{tree.path("one/"), ""}));
    EXPECT_FALSE(told.finished);
}
