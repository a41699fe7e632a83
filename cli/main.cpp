// SPDX-License-Identifier: GPL-3.0-or-later
#include "InterruptStop.h"
#include "ReportArguments.h"

#include "platform/DriveProbe.h"
#include "platform/SystemLocale.h"
#include "scan/MaskMatcher.h"
#include "scan/ReportRunner.h"
#include "scan/RowForms.h"
#include "scan/ThreadStart.h"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

int usageError(const std::string& what)
{
    std::fprintf(stderr, "lintwick-report: %s\n%s", what.c_str(), kReportUsage);
    return 2;
}

bool isDirectory(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

int main(int argc, char** argv)
{
    const ReportArguments args = ParseReportArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (args.help || args.version) {
        std::fputs(args.help ? kReportUsage : kReportVersion, stdout);
        return 0;
    }
    if (!args.error.empty())
        return usageError(args.error);

    const std::string mask(TrimControlAndBlanks(args.mask));
    if (mask.empty()) {
        std::fputs("Please enter a filename mask before dusting.\n", stderr);
        return 2;
    }

    ReportRequest request;
    request.mask = mask;
    request.mode = args.mode;
    request.sizeThreshold = args.sizeThreshold;
    request.threads = args.threads;
    for (const std::string& root : args.roots) {
        if (!isDirectory(root)) {
            std::fprintf(stderr, "Not a directory: %s\n", root.c_str());
            return 2;
        }
        request.roots.push_back(root.back() == '/' ? root : root + '/');
    }
    if (args.roots.empty())
        request.roots = MountInfoDriveProbe().probe();

    ResultTable table(systemLocaleSettings());
    const bool showProgress = ::isatty(STDERR_FILENO);
    ReportProgress progress;
    if (showProgress) {
        progress = [&](const std::string& root, std::int64_t files) {
            const std::string line = "Dusting: " + root + "  " + SizeText(files, table.locale()) + " files";
            std::fprintf(stderr, "\r%s\033[K", line.c_str());
            std::fflush(stderr);
        };
    }

    ReportRunner runner;
    ReportOutcome outcome;
    {
        InterruptStop interrupt;
        interrupt.holdForTests(runner);
        outcome = runner.run(request, table, progress, interrupt.flag());
    }
    if (showProgress)
        std::fputs("\r\033[K", stderr);

    // Rows are composed in blocks, two blocks at a time on two threads, and written in order. A block
    // ends after 8,192 rows or 4 MiB of text, so rows of any length keep the memory bounded; the
    // second block starts where a first block of the last one's density would end.
    const ReportFormatter formatter(table, args.format, args.mode);
    constexpr int kBlockRows = 8192;
    constexpr size_t kBlockBytes = 4 << 20;
    const auto compose = [&table, &formatter](int first, int rows) {
        std::string text;
        int row = first;
        for (; row < first + rows && row <= table.LastRow() && text.size() < kBlockBytes; ++row)
            formatter.appendRows(row, row + 1, text);
        return std::make_pair(std::move(text), row);
    };
    const auto write = [](const std::string& text) {
        return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    };
    bool written = write(formatter.head(outcome.text));
    int rows = kBlockRows;
    for (int next = 0; next <= table.LastRow() && written;) {
        std::pair<std::string, int> second;
        std::thread helper;
        const auto composeSecond = [&] { second = compose(next + rows, rows); };
        const bool parallel = next + rows <= table.LastRow() && TryStartThread(helper, composeSecond);
        const auto [text, end] = compose(next, rows);
        written = write(text);
        if (helper.joinable())
            helper.join();
        const int composed = end - next;
        if (end == next + rows && parallel) {
            written = written && write(second.first);
            next = second.second;
        } else {
            next = end;
        }
        rows = std::clamp(static_cast<int>(composed * (kBlockBytes / 2) / std::max<size_t>(text.size(), 1)),
                          1, kBlockRows);
    }
    written = written && write(formatter.tail());
    if (!written || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::perror("lintwick-report: writing the report");
        return 1;
    }
    if (outcome.unreadable.count > 0)
        std::fprintf(stderr, "lintwick-report: %s\n", UnreadableText(outcome.unreadable).c_str());
    std::fprintf(stderr, "%s\n", outcome.text.c_str());
    return outcome.stopped ? 130 : 0; // 128 + SIGINT, as a shell reports an interrupted command
}
