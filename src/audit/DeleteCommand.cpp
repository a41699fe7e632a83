// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/DeleteCommand.h"

#include "audit/AuditLog.h"
#include "audit/RecycleBin.h"
#include "platform/MessageBoxes.h"
#include "scan/ResultTable.h"

namespace {

constexpr const char* kAlreadyDeleted = "You have selected a file that has already been deleted.";
constexpr const char* kAuditFileFailed = "Warning!Unable to access audit file";

} // namespace

DeleteCommand::DeleteCommand(ResultTable& table, RecycleBin& recycleBin, MessageBoxes& messages)
    : m_table(table), m_recycleBin(recycleBin), m_messages(messages)
{}

DeleteOutcome DeleteCommand::Run(int row, const std::string& programDir)
{
    // A separator row names no file; its path slot holds nothing that may be acted on.
    if (row < 0 || row > m_table.LastRow() || m_table.isSeparator(row))
        return DeleteOutcome::NoFile;
    if (m_table.DeletedFlags[static_cast<std::size_t>(row)] != 0) {
        m_messages.Beep();
        m_messages.Error(kAlreadyDeleted);
        return DeleteOutcome::AlreadyDeleted;
    }

    const std::string path = m_table.RowPaths(row);
    int shellResult = 0;
    TrashedFile trashed;
    if (!m_recycleBin.ShellDelete(ListedFile::FromRow(m_table, row), shellResult, trashed) ||
        shellResult != 0)
        return DeleteOutcome::NotDeleted;
    m_lastDeleted = trashed;

    // The line is on the disk before the row is marked, so no deletion the user saw goes unlogged.
    const bool logged = AppendAuditLine(programDir, AuditLine(trashed.deletedAt, path, m_table.locale()));
    if (!logged) {
        m_messages.Beep();
        m_messages.Warning(kAuditFileFailed);
    }
    m_table.markDeleted(row);
    return logged ? DeleteOutcome::Deleted : DeleteOutcome::DeletedWithoutAudit;
}
