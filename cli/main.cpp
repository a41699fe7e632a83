// SPDX-License-Identifier: GPL-3.0-or-later
#include "InterruptStop.h"
#include "ReportArguments.h"
#include "TestHooks.h"
#include "WriteReport.h"

#include "platform/DriveProbe.h"
#include "platform/SystemLocale.h"
#include "scan/ContentCheck.h"
#include "scan/MaskMatcher.h"
#include "scan/ReportRunner.h"
#include "scan/RowForms.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int usageError(const std::string& what)
{
    std::fprintf(stderr, "lintwick-report: %s\n%s", what.c_str(), kReportUsage);
    return 2;
}

// Empty for a directory, else why the path is not one a walk can start from.
std::string notADirectory(const std::string& path)
{
    struct stat st = {};
    if (::stat(path.c_str(), &st) != 0)
        return "Not a directory: " + path + " (" + std::strerror(errno) + ")";
    return S_ISDIR(st.st_mode) ? std::string() : "Not a directory: " + path;
}

} // namespace

int main(int argc, char** argv)
{
    const ReportArguments args = ParseReportArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (args.help || args.version) {
        std::fputs(args.help ? kReportUsage : kReportVersion, stdout);
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            std::perror("lintwick-report: writing");
            return 1;
        }
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
        if (const std::string why = notADirectory(root); !why.empty()) {
            std::fprintf(stderr, "%s\n", why.c_str());
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

    // Until the last byte is written: a first Ctrl+C during the writing ends the rows early, as one
    // during the walk ends the walk.
    InterruptStop interrupt;
    const TestHooks hooks = MakeTestHooks(interrupt);
    ReportRunner runner;
    runner.afterDirectoryRead = hooks.afterDirectoryRead;
    const ReportOutcome outcome = runner.run(request, table, progress, interrupt.flag());
    ContentClasses content;
    if (args.content) {
        ContentCheck check(args.threads);
        if (hooks.beforeWholeRead)
            check.beforeWholeRead = [&](int row) { hooks.beforeWholeRead(table.RowPaths(row)); };
        ContentProgress bytes;
        if (showProgress) {
            bytes = [&](std::int64_t done, std::int64_t total) {
                const std::string line = "Comparing contents: " + SizeText(done >> 20, table.locale()) +
                                         " of " + SizeText(total >> 20, table.locale()) + " MB";
                std::fprintf(stderr, "\r%s\033[K", line.c_str());
                std::fflush(stderr);
            };
        }
        content = check.run(table, bytes, interrupt.flag());
    }
    if (showProgress)
        std::fputs("\r\033[K", stderr);

    // A run stopped already is written whole; a second Ctrl+C ends the program at once.
    const bool stopped = outcome.stopped || content.stopped;
    const WrittenReport written = WriteReport(
        stdout, table, ReportFormatter(table, args.format, args.mode, args.content ? &content : nullptr),
        args.mode, outcome.text, stopped ? nullptr : interrupt.flag(), hooks.afterWrite);
    if (!written.ok || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::perror("lintwick-report: writing the report");
        return 1;
    }
    if (outcome.unreadable.count > 0)
        std::fprintf(stderr, "lintwick-report: %s\n", UnreadableText(outcome.unreadable).c_str());
    std::fprintf(stderr, "%s\n", written.outcome.c_str());
    if (args.content)
        std::fprintf(stderr, "%s\n", content.outcomeText().c_str());
    // 128 + SIGINT, as a shell reports an interrupted command
    return stopped || written.stopped ? 130 : 0;
}
