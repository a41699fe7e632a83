// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/RunSummaries.h"

#include "scan/RowForms.h"

#include <algorithm>

namespace {

std::string Count(std::size_t count, const char* noun, const LocaleSettings& locale)
{
    return SizeText(static_cast<std::int64_t>(count), locale) + " " + noun + (count == 1 ? "" : "s");
}

void AddSentence(std::string& text, const std::string& sentence)
{
    text += (text.empty() ? "" : "\n") + sentence;
}

void AddFailure(std::string& details, const std::string& path, const std::string& reason)
{
    details += path + ": " + reason + "\n";
}

} // namespace

std::string TrashRunText(const TrashRunSummary& summary, const LocaleSettings& locale)
{
    std::string text = Count(summary.moved, "file", locale) + " moved to the trash.";
    if (!summary.failures.empty())
        AddSentence(text, Count(summary.failures.size(), "file", locale) +
                              " could not be moved; the details say why.");
    if (!summary.halted.empty())
        AddSentence(text, "Stopped early: " + summary.halted + ".");
    else if (summary.stopped)
        AddSentence(text, "Stopped.");
    if (summary.notTried > 0)
        AddSentence(text, Count(summary.notTried, "file", locale) + " not tried.");
    return text;
}

std::string TrashRunDetails(const TrashRunSummary& summary)
{
    std::string details;
    for (const TrashRunFailure& failure : summary.failures)
        AddFailure(details, failure.path, failure.reason);
    return details;
}

std::string RestoreText(const RestoreRequest& request, const RestoreOutcome& outcome,
                        const LocaleSettings& locale)
{
    const auto count = [&](RestoreStatus status) {
        return static_cast<std::size_t>(
            std::count_if(outcome.results.begin(), outcome.results.end(),
                          [&](const RestoreResult& r) { return r.status == status; }));
    };
    const std::size_t restored = count(RestoreStatus::Restored);
    const std::size_t notTried = count(RestoreStatus::NotTried);
    std::string text = Count(restored, "file", locale) + " restored.";
    if (const std::size_t failed = outcome.results.size() - restored - notTried)
        AddSentence(text, Count(failed, "file", locale) + " could not be restored; the details say why.");
    if (notTried > 0)
        AddSentence(text, "Stopped: " + Count(notTried, "file", locale) + " not tried.");
    if (request.restoredBefore > 0)
        AddSentence(text, "Skipped " + Count(request.restoredBefore, "line", locale) +
                              " of files restored before.");
    if (request.notAuditLines > 0)
        AddSentence(text,
                    "Skipped " + Count(request.notAuditLines, "line", locale) + " without a deleted file.");
    if (outcome.auditFailed)
        AddSentence(text, "The audit log could not be written: files restored have no line in it.");
    return text;
}

std::string RestoreDetails(const RestoreRequest& request, const RestoreOutcome& outcome)
{
    std::string details;
    for (std::size_t i = 0; i < outcome.results.size(); ++i) {
        const RestoreResult& result = outcome.results[i];
        if (result.status != RestoreStatus::Restored && result.status != RestoreStatus::NotTried)
            AddFailure(details, request.files[i].path, result.reason);
    }
    return details;
}
