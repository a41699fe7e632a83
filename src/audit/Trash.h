// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audit/ListedFile.h"
#include "platform/DateTimeFormat.h"

#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

// What became of a file sent to the trash, or why it could not go.
struct TrashResult
{
    int error = 0;      // 0 when the file is in the trash (or, for Check, could go), else an errno value
    std::string reason; // when error is not 0: why, in words that can follow "Cannot move 'x' to the trash: "
    std::string trashedPath; // Move: where the file is now, in the trash's files/ folder
    std::string infoPath;    // Move: its .trashinfo record
    explicit operator bool() const { return error == 0; }
};

// The desktop trash as freedesktop.org lays it out for every desktop. A file on the filesystem of the home
// trash goes to the home trash; a file on another filesystem goes to the trash at the top directory
// (mount point) of its own filesystem: "$topdir/.Trash/$uid" when "$topdir/.Trash" is a real folder
// with the sticky bit, else "$topdir/.Trash-$uid". Missing trash folders are made with mode 0700.
//
// A listed file is reached from its root (resolved once, links and all, as the walk resolved it) one
// folder at a time without following any symbolic link, and it is moved by its name inside the folder
// found that way, so a folder that was swapped for a link after the report cannot redirect the move.
// Only regular files are moved. A move is a rename: the file is never copied and never half in the
// trash. The record is on the disk before the move, and the move before Move returns. Nothing is ever
// deleted.
class Trash
{
public:
    // homeTrash: the home trash folder, made with its parents when first needed; uid: whose trash
    // folders are used and made on other filesystems, and whom they must belong to.
    Trash(std::string homeTrash, uid_t uid);
    // The trash of the user running the program: "$XDG_DATA_HOME/Trash", or "~/.local/share/Trash"
    // when XDG_DATA_HOME is unset, empty or relative. The environment is read on each call.
    static Trash ForCurrentUser();

    const std::string& homeTrash() const { return m_homeTrash; }

    // Whether the file is still the one listed: reached through the same folders, a regular file of
    // the listed size and last write where these are known. Changes nothing.
    TrashResult Check(const ListedFile& file) const;
    // Writes the .trashinfo record (deleted at now, the path as resolved, no link in it) under a name
    // that is free in the trash, flushes it, then renames the file into the trash under the same name
    // and flushes both folders. The file is checked as Check does, and once more after the rename: a
    // file that changed or was swapped meanwhile is put back. On any failure the record is removed
    // again and the file stays where it was. Many files at once: TrashBatch.
    TrashResult Move(const ListedFile& file, const LocalDateTime& now) const;

    uid_t uid() const { return m_uid; }

    // For tests of the order of the steps that make a move last: called with "sync record", "sync
    // info", "rename", "sync files", "sync folder" as Move reaches each, and with what TrashBatch and
    // TrashRestorer name, before the step is done. Called on the thread that moves.
    void setStepHook(std::function<void(std::string_view step)> hook) { m_stepHook = std::move(hook); }
    void step(std::string_view name) const
    {
        if (m_stepHook)
            m_stepHook(name);
    }
    // The step name, then a flush of fd to the disk: a written file, or a folder held by an O_PATH
    // descriptor. 0 or an errno value.
    int sync(std::string_view name, int fd, bool folder) const;
    // The step name, then a flush of the whole filesystem of the folder held by pathFd.
    int syncFilesystem(std::string_view name, int pathFd) const;

private:
    std::string m_homeTrash;
    uid_t m_uid;
    std::function<void(std::string_view)> m_stepHook;
};
