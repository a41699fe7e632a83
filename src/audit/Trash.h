// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DateTimeFormat.h"

#include <string>
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
// The path of a file is followed one folder at a time from "/" without following any symbolic link,
// and the file is moved by its name inside the folder found that way, so a folder that was swapped
// for a link after the path was written down cannot redirect the move. Only regular files are moved.
// A move is a rename: the file is never copied and never half in the trash. Nothing is ever deleted.
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

    // Whether path (absolute, without "." or ".." parts) still leads to a regular file without passing
    // a symbolic link. Changes nothing.
    TrashResult Check(const std::string& path) const;
    // Writes the .trashinfo record (deleted at now) under a name that is free in the trash, then
    // renames the file into the trash under the same name. On any failure the record is removed
    // again and the file stays where it was.
    TrashResult Move(const std::string& path, const LocalDateTime& now) const;

private:
    std::string m_homeTrash;
    uid_t m_uid;
};
