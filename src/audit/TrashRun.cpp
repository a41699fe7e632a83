// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TrashRun.h"

#include "audit/AuditLog.h"
#include "audit/TrashBatch.h"
#include "audit/TrashFolders.h"
#include "scan/ResultTable.h"

#include <cerrno>
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
    TrashBatch batch(trash);
    // A group's failures by their place in files: those of the check come before those of the move.
    std::map<std::size_t, std::string> failed;
    const auto fail = [&](std::size_t index, std::string reason) {
        failed.emplace(index, std::move(reason));
    };
    const auto stop = [&] { return stopRequested && (summary.stopped = stopRequested()); };
    const auto haltWhenFull = [&](const TrashRunFile& file, int error) {
        if ((error == ENOSPC || error == EDQUOT) && summary.halted.empty())
            summary.halted = "there is no room left to record " + Quoted(file.file.path());
        return !summary.halted.empty();
    };
    std::size_t next = 0;
    while (next < files.size() && summary.halted.empty() && !stop()) {
        const LocalDateTime now = m_clock();
        const steady_clock::time_point end = steady_clock::now() + kGroupTime;
        std::vector<std::size_t> group;
        for (; next < files.size(); ++next) {
            if (!group.empty() && (group.size() == kMaxGroup || batch.openFolders() >= kMaxFolders ||
                                   steady_clock::now() >= end || stop()))
                break;
            const TrashResult added = batch.Add(files[next].file, now);
            if (added) {
                group.push_back(next);
                continue;
            }
            fail(next, added.reason);
            if (haltWhenFull(files[next], added.error)) {
                ++next;
                break;
            }
        }

        const std::vector<TrashResult> results = batch.Commit();
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (results[i])
                lines.push_back(AuditLine(now, files[group[i]].file.path(), m_locale));
        }
        const bool logged = lines.empty() || AppendAuditLines(programDir, lines);
        const std::vector<TrashResult> undone = logged ? std::vector<TrashResult>() : batch.Undo();
        if (!logged)
            summary.halted = "the audit log in " + Quoted(programDir) + " cannot be written";

        TrashRunProgress report;
        for (std::size_t i = 0; i < group.size(); ++i) {
            const TrashRunFile& file = files[group[i]];
            if (!results[i]) {
                fail(group[i], results[i].reason);
                haltWhenFull(file, results[i].error);
            } else if (!logged) {
                fail(group[i], undone[i] ? "its audit line cannot be written, so it was put back"
                                         : "its audit line cannot be written, and " + undone[i].reason);
            } else {
                ++summary.moved;
                summary.bytes += std::max<std::int64_t>(file.file.size, 0);
                summary.trashed.push_back({file.row, {file.file.path(), now}});
                report.markable.push_back(file.row);
            }
        }
        for (auto& [index, reason] : failed)
            summary.failures.push_back({files[index].row, files[index].file.path(), std::move(reason)});
        failed.clear();
        report.done = next;
        report.moved = summary.moved;
        report.bytes = summary.bytes;
        if (progress)
            progress(report);
    }
    summary.notTried = files.size() - next;
    return summary;
}
