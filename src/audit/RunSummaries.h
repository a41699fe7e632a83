// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audit/RestoreCommand.h"
#include "audit/TrashRun.h"
#include "platform/LocaleSettings.h"

#include <string>

// The box at the end of a run over many files: a text that counts what happened, one sentence a line,
// and details with a "PATH: reason" line for each file that failed (empty when none did). Counts carry
// the locale's thousands separator.

// Delete with marks: "1,234 files moved to the trash." and what could not be moved, what a stop left
// untried, why the run ended early.
std::string TrashRunText(const TrashRunSummary& summary, const LocaleSettings& locale);
std::string TrashRunDetails(const TrashRunSummary& summary);

// Restore: "3 files restored." and what could not be restored, what a stop left untried, which lines
// were skipped, whether the log could not be written.
std::string RestoreText(const RestoreRequest& request, const RestoreOutcome& outcome,
                        const LocaleSettings& locale);
std::string RestoreDetails(const RestoreRequest& request, const RestoreOutcome& outcome);
