// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audit/TrashRestorer.h"

#include <functional>
#include <string>

class MessageBoxes;

// Sends one file to the desktop trash the way the Delete command asks the platform shell to: a
// confirmation that names the file, then the move, with the reason for any failure in an error box.
class RecycleBin
{
public:
    using Clock = std::function<LocalDateTime()>;

    // trash gives the trash to use at each deletion; the default reads the environment every time.
    // clock is read once per move; the default reads the system clock.
    explicit RecycleBin(MessageBoxes& messages, std::function<Trash()> trash = &Trash::ForCurrentUser,
                        Clock clock = {});

    // Returns false when the user answered No to "Move 'path' to the trash?" (the operation counts
    // as aborted; nothing else is shown). Otherwise shellResult is 0 when the file is in the trash as
    // trashed says (deletedAt is the time its record holds), or an errno value after an error box that
    // says why it is not. A file that is no longer the one listed is refused before the question.
    bool ShellDelete(const ListedFile& file, int& shellResult, TrashedFile& trashed);

private:
    void Refuse(const std::string& path, const TrashResult& result, int& shellResult);

    MessageBoxes& m_messages;
    std::function<Trash()> m_trash;
    Clock m_clock;
};
