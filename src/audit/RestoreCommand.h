// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audit/TrashRestorer.h"
#include "platform/LocaleSettings.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// The files that audit lines name, as Restore in the audit window takes them from the lines chosen.
struct RestoreRequest
{
    std::vector<TrashedFile> files;
    std::size_t restoredBefore = 0; // lines ending in " (Restored)": a restore, nothing to bring back
    std::size_t notAuditLines = 0;  // lines that do not read as audit lines of this locale
};
RestoreRequest RestoreRequestOf(const std::vector<std::string>& lines, const LocaleSettings& locale);

// What a restore came to.
struct RestoreOutcome
{
    std::vector<RestoreResult> results; // one per file, in order
    bool auditFailed = false;           // a file came back, but its audit line could not be written
};

// Brings files back from the trash and logs each in the audit log: what the audit window's Restore
// and the main window's Undo Delete run, on whichever thread they choose.
class RestoreCommand
{
public:
    using Clock = std::function<LocalDateTime()>;
    using Progress = std::function<void(std::size_t index, const RestoreResult& result)>;

    // trash gives the trash at each run (the default reads the environment); clock is read once per
    // run of files (the default reads the system clock).
    explicit RestoreCommand(LocaleSettings locale, std::function<Trash()> trash = &Trash::ForCurrentUser,
                            Clock clock = {});

    // Restores files in order as TrashRestorer does, and appends "DATE TIME  PATH (Restored)" (PATH
    // as given) to the audit log in programDir for each file that came back: the lines of a run go in
    // one write and are on the disk before progress hears of the run's files. stopRequested is asked
    // before each file; the files after a stop are NotTried. Both are called on the calling thread.
    RestoreOutcome Run(const std::vector<TrashedFile>& files, const std::string& programDir,
                       const std::function<bool()>& stopRequested = {}, const Progress& progress = {}) const;

private:
    LocaleSettings m_locale;
    std::function<Trash()> m_trash;
    Clock m_clock;
};
