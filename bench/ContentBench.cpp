// SPDX-License-Identifier: GPL-3.0-or-later
// The content check after a duplicates report of TREE: prints the report's and the check's times,
// the bytes the check read, and how long a stop took to end it. With --list FILE it writes the paths
// of the files the check read beyond their first 4 KiB to FILE, NUL after each, for content_bench.py
// to time other tools on the same bytes. With --stop-after SECONDS it sets the stop flag then.
//
//     build/bench/content_bench TREE [--threads N] [--list FILE] [--stop-after SECONDS]
#include "scan/ContentCheck.h"
#include "scan/ReportRunner.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <sys/resource.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Processor time of the whole process so far, all threads.
double CpuSeconds()
{
    rusage usage = {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double SecondsSince(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: content_bench TREE [--threads N] [--list FILE] [--stop-after SECONDS]\n");
        return 2;
    }
    std::string root = argv[1];
    if (root.back() != '/')
        root += '/';
    unsigned threads = 0;
    const char* listPath = nullptr;
    double stopAfter = -1;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--threads")
            threads = static_cast<unsigned>(std::stoul(argv[i + 1]));
        else if (option == "--list")
            listPath = argv[i + 1];
        else if (option == "--stop-after")
            stopAfter = std::stod(argv[i + 1]);
    }

    ResultTable table;
    ReportRequest request;
    request.roots = {root};
    request.mask = "*.*";
    Clock::time_point start = Clock::now();
    ReportRunner().run(request, table);
    const double walk = SecondsSince(start);

    ContentCheck check(threads);
    std::mutex listed;
    std::FILE* list = listPath ? std::fopen(listPath, "wb") : nullptr;
    if (list) {
        check.beforeWholeRead = [&](int row) {
            const std::string path = table.RowPaths(row);
            const std::lock_guard lock(listed);
            std::fwrite(path.c_str(), 1, path.size() + 1, list);
        };
    }
    std::atomic<bool> stop{false};
    std::int64_t done = 0, total = 0;
    Clock::time_point stopped;
    std::thread stopper;
    if (stopAfter >= 0) {
        stopper = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::duration<double>(stopAfter));
            stopped = Clock::now();
            stop = true;
        });
    }
    start = Clock::now();
    const double cpuBefore = CpuSeconds();
    const ContentClasses classes = check.run(
        table, [&](std::int64_t d, std::int64_t t) { done = d, total = t; }, &stop);
    const Clock::time_point end = Clock::now();
    const double seconds = std::chrono::duration<double>(end - start).count();
    const double cpu = CpuSeconds() - cpuBefore;
    if (stopper.joinable())
        stopper.join();
    if (list)
        std::fclose(list);

    std::printf("rows %d  report %.3f s  check %.3f s (processor %.3f s)  read %.1f MB of %.1f MB  %s\n",
                table.LastRow() + 1, walk, seconds, cpu, done / 1e6, total / 1e6,
                classes.outcomeText().c_str());
    if (classes.stopped)
        std::printf("stop ended the check after %.1f ms\n",
                    std::chrono::duration<double, std::milli>(end - stopped).count());
    return 0;
}
