// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/RestoreCommand.h"

#include "audit/AuditLog.h"

#include <ctime>

RestoreRequest RestoreRequestOf(const std::vector<std::string>& lines, const LocaleSettings& locale)
{
    RestoreRequest request;
    for (const std::string& line : lines) {
        const std::optional<AuditEntry> entry = ParseAuditLine(line, locale);
        if (!entry)
            ++request.notAuditLines;
        else if (entry->restored)
            ++request.restoredBefore;
        else
            request.files.push_back({entry->path, entry->when});
    }
    return request;
}

RestoreCommand::RestoreCommand(LocaleSettings locale, std::function<Trash()> trash, Clock clock)
    : m_locale(std::move(locale)), m_trash(std::move(trash)), m_clock(std::move(clock))
{
    if (!m_clock)
        m_clock = [] { return ToLocalDateTime(std::time(nullptr)); };
}

RestoreOutcome RestoreCommand::Run(const std::vector<TrashedFile>& files, const std::string& programDir,
                                   const std::function<bool()>& stopRequested, const Progress& progress) const
{
    RestoreOutcome outcome;
    const auto settled = [&](std::size_t first, std::size_t end, const std::vector<RestoreResult>& results) {
        const LocalDateTime now = m_clock();
        std::vector<std::string> lines;
        for (std::size_t i = first; i < end; ++i) {
            if (results[i].status == RestoreStatus::Restored)
                lines.push_back(AuditLine(now, files[i].path, m_locale) + std::string(kRestoredMark));
        }
        if (!lines.empty() && !AppendAuditLines(programDir, lines))
            outcome.auditFailed = true;
        for (std::size_t i = first; progress && i < end; ++i)
            progress(i, results[i]);
    };
    const Trash trash = m_trash();
    outcome.results = TrashRestorer(trash).Restore(files, stopRequested, settled);
    return outcome;
}
