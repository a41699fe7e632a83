// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/RecycleBin.h"

#include "platform/MessageBoxes.h"

#include <ctime>

RecycleBin::RecycleBin(MessageBoxes& messages, std::function<Trash()> trash, Clock clock)
    : m_messages(messages), m_trash(std::move(trash)), m_clock(std::move(clock))
{
    if (!m_clock)
        m_clock = [] { return ToLocalDateTime(std::time(nullptr)); };
}

bool RecycleBin::ShellDelete(const ListedFile& file, int& shellResult, TrashedFile& trashed)
{
    const Trash trash = m_trash();
    const std::string path = file.path();
    // Asking about a file that is already gone would only lead to the error after the answer.
    if (TrashResult check = trash.Check(file); !check) {
        Refuse(path, check, shellResult);
        return true;
    }
    if (!m_messages.Question("Move '" + path + "' to the trash?")) {
        shellResult = 0;
        return false;
    }
    const LocalDateTime deletedAt = m_clock();
    const TrashResult moved = trash.Move(file, deletedAt);
    if (!moved) {
        Refuse(path, moved, shellResult);
        return true;
    }
    trashed = {path, deletedAt, moved.trashedPath};
    shellResult = 0;
    return true;
}

void RecycleBin::Refuse(const std::string& path, const TrashResult& result, int& shellResult)
{
    shellResult = result.error;
    m_messages.Beep();
    m_messages.Error("Cannot move '" + path + "' to the trash: " + result.reason + ".");
}
