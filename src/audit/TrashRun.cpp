// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TrashRun.h"

#include "audit/AuditLog.h"
#include "audit/TrashBatch.h"
#include "audit/TrashFolders.h"
#include "scan/DirectoryCursor.h"
#include "scan/ResultTable.h"

#include <algorithm>
#include <ctime>
#include <map>

TrashRun::TrashRun(LocaleSettings locale, std::function<Trash()> trash, Clock clock)
    : m_locale(std::move(locale)), m_trash(std::move(trash)), m_clock(std::move(clock))
{
    if (!m_clock)
        m_clock = [] { return ToLocalDateTime(std::time(nullptr)); };
}

std::vector<TrashRunFile> TrashRun::FilesOfRows(const ResultTable& table, const std::vector<int>& rows)
{
    std::vector<TrashRunFile> files;
    files.reserve(rows.size());
    for (const int row : rows) {
        if (row >= 0 && row <= table.LastRow() && !table.isSeparator(row) &&
            table.DeletedFlags[static_cast<std::size_t>(row)] == 0)
            files.push_back({row, ListedFile::FromRow(table, row)});
    }
    return files;
}

TrashRunSummary TrashRun::Run(const std::vector<TrashRunFile>& files, const std::string& programDir,
                              const std::function<bool()>& stopRequested, const Progress& progress) const
{
    using std::chrono::steady_clock;
    TrashRunSummary summary;
    const Trash trash = m_trash();
    TrashBatch batch(trash, TrashBatch::Flush::Filesystem);
    // Failures by their place in files, until the files before them are settled: so they are told in
    // order, though a check fails before the move of an earlier file does.
    std::map<std::size_t, std::string> failed;
    const auto fail = [&](std::size_t index, std::string reason) {
        failed.emplace(index, std::move(reason));
    };
    const auto stop = [&] { return stopRequested && (summary.stopped = stopRequested()); };
    const auto haltWhenFull = [&](std::size_t index, int error) {
        if ((error == ENOSPC || error == EDQUOT) && summary.halted.empty())
            summary.halted = "there is no room left to record " + Quoted(files[index].file.path());
        return !summary.halted.empty();
    };
    struct Group
    {
        std::vector<std::size_t> files; // indexes of the files added
        LocalDateTime time;             // of their records and audit lines
        std::size_t end = 0;            // the index after the group's last file
    };

    // Logs the files of group, whose moves are on the disk, and names their rows to progress. When the
    // log cannot be written, the moves of group and of after (moved, not yet on the disk) go back.
    const auto settle = [&](const Group& group, const std::vector<TrashResult>& results, const Group& after) {
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < group.files.size(); ++i) {
            if (results[i])
                lines.push_back(AuditLine(group.time, files[group.files[i]].file.path(), m_locale));
        }
        const bool logged = lines.empty() || AppendAuditLines(programDir, lines);
        if (!logged) {
            summary.halted = "the audit log in " + Quoted(programDir) + " cannot be written";
            const std::vector<TrashResult> undone = batch.Undo();
            for (std::size_t i = 0; i < group.files.size(); ++i) {
                if (results[i])
                    fail(group.files[i], undone[i]
                                             ? "its audit line cannot be written, so it was put back"
                                             : "its audit line cannot be written, and " + undone[i].reason);
            }
            for (std::size_t j = 0; j < after.files.size(); ++j) {
                const TrashResult& back = undone[group.files.size() + j];
                fail(after.files[j],
                     back ? "the audit log cannot be written, so it was put back" : back.reason);
            }
        }
        TrashRunProgress report;
        for (std::size_t i = 0; i < group.files.size(); ++i) {
            const TrashRunFile& file = files[group.files[i]];
            if (!results[i]) {
                fail(group.files[i], results[i].reason);
                haltWhenFull(group.files[i], results[i].error);
            } else if (logged) {
                ++summary.moved;
                summary.bytes += std::max<std::int64_t>(file.file.size, 0);
                summary.trashed.push_back({file.row, {file.file.path(), group.time, results[i].trashedPath}});
                report.markable.push_back(file.row);
            }
        }
        report.done = logged ? group.end : after.end;
        for (auto told = failed.begin(); told != failed.end() && told->first < report.done;) {
            summary.failures.push_back(
                {files[told->first].row, files[told->first].file.path(), told->second});
            told = failed.erase(told);
        }
        report.moved = summary.moved;
        report.bytes = summary.bytes;
        if (progress && report.done > 0)
            progress(report);
        return logged;
    };

    // A group's folders stay open until the group after it is committed, and a folder being reached
    // holds the top of its filesystem too: two groups' folders must fit in the descriptors left.
    const std::size_t maxFolders = std::min(kMaxFolders, DescriptorBudget(4));
    std::size_t next = 0;
    Group moving;
    bool logged = true;
    while (logged && next < files.size() && summary.halted.empty() && !stop()) {
        Group added{{}, m_clock(), 0};
        const steady_clock::time_point end = steady_clock::now() + kGroupTime;
        // At least one file a group, so that a run of files that all fail their checks still counts
        // and stops on time.
        for (const std::size_t first = next; next < files.size(); ++next) {
            if (next > first && (added.files.size() == m_maxGroup || batch.openFolders() >= maxFolders ||
                                 steady_clock::now() >= end || stop()))
                break;
            const TrashResult result = batch.Add(files[next].file, added.time);
            if (result) {
                added.files.push_back(next);
                continue;
            }
            fail(next, result.reason);
            if (haltWhenFull(next, result.error)) {
                ++next;
                break;
            }
        }
        added.end = next;
        // One flush makes the records of the files just added and the moves of the group before last.
        logged = settle(moving, batch.Commit(), added);
        moving = std::move(added);
    }
    if (logged)
        settle(moving, batch.Finish(), Group{{}, {}, next});
    summary.notTried = files.size() - next;
    return summary;
}
