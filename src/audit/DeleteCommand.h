// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audit/TrashRestorer.h"

#include <optional>
#include <string>

class MessageBoxes;
class RecycleBin;
class ResultTable;

// How a Delete command ended.
enum class DeleteOutcome
{
    NoFile,              // no row, or a separator row: nothing was done
    AlreadyDeleted,      // the row was marked before; an error box said so
    NotDeleted,          // declined, or the trash refused the file (its own box said why)
    Deleted,             // in the trash, logged, row marked
    DeletedWithoutAudit, // in the trash and row marked, but the audit log could not be written (warning
                         // shown)
};

// The Delete command on one row of the report: the file behind the row goes to the trash, one line goes
// to the audit log in the program directory, and the row is marked deleted so that its text ends in
// " (Deleted)". The window checks that it is active and repaints the list afterwards.
class DeleteCommand
{
public:
    DeleteCommand(ResultTable& table, RecycleBin& recycleBin, MessageBoxes& messages);

    // Runs the command on row (the list's current item, -1 for none) with the audit log in programDir.
    // The audit line takes the time the trash recorded, so that a restore can find the one by the
    // other. The table is changed only for Deleted and DeletedWithoutAudit.
    DeleteOutcome Run(int row, const std::string& programDir);

    // The path and time of the last file this command put in the trash, for undoing it.
    const std::optional<TrashedFile>& lastDeleted() const { return m_lastDeleted; }

private:
    ResultTable& m_table;
    RecycleBin& m_recycleBin;
    MessageBoxes& m_messages;
    std::optional<TrashedFile> m_lastDeleted;
};
