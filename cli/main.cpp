// SPDX-License-Identifier: GPL-3.0-or-later
#include "InterruptStop.h"
#include "ReportArguments.h"

#include "platform/DriveProbe.h"
#include "platform/SystemLocale.h"
#include "scan/MaskMatcher.h"
#include "scan/ReportRunner.h"
#include "scan/RowForms.h"

#include <cstdio>
#include <future>
#include <sys/stat.h>
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
    if (args.help) {
        std::fputs(kReportUsage, stdout);
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

    // Rows are composed in blocks, two blocks at a time on two threads, and written in order.
    constexpr int kBlock = 8192;
    const auto compose = [&table](int first) {
        std::string text;
        for (int row = first; row < first + kBlock && row <= table.LastRow(); ++row) {
            text += table.RowTexts(row);
            text += '\n';
        }
        return text;
    };
    for (int first = 0; first <= table.LastRow(); first += 2 * kBlock) {
        auto second = std::async(std::launch::async, compose, first + kBlock);
        const std::string text = compose(first);
        std::fwrite(text.data(), 1, text.size(), stdout);
        const std::string more = second.get();
        std::fwrite(more.data(), 1, more.size(), stdout);
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::perror("lintwick-report: writing the report");
        return 1;
    }
    std::fprintf(stderr, "%s\n", outcome.text.c_str());
    return outcome.stopped ? 130 : 0; // 128 + SIGINT, as a shell reports an interrupted command
}
