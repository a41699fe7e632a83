// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/UniqueFd.h"

#include <cstddef>
#include <fcntl.h>
#include <functional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

// The folder work that moving files into the trash and bringing them back share. Folders are held by
// O_PATH descriptors and opened one name at a time, never through a symbolic link.

inline constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// "'path'", for messages.
std::string Quoted(const std::string& path);
// text followed by the words for error in parentheses.
std::string WithError(std::string text, int error);

// The non-empty parts of a path between its slashes.
std::vector<std::string> SplitPath(std::string_view path);
// parts[from] to parts[to - 1] joined by "/", with a leading "/" when absolute ("/" when none).
std::string JoinParts(const std::vector<std::string>& parts, std::size_t from, std::size_t to, bool absolute);
// The folder of an absolute path ("/" for a name in the root), and a name inside a folder.
std::string FolderOf(const std::string& path);
std::string ChildOf(const std::string& folder, std::string_view name);

// Folders opened from "/" one at a time, noting where the filesystem changes.
struct FolderWalk
{
    UniqueFd dir;             // the deepest folder reached; none when "/" could not be opened
    std::size_t depth = 0;    // how many parts lead to it
    UniqueFd top;             // the top directory (mount point) of its filesystem
    std::size_t topDepth = 0; // how many parts lead to top
    dev_t device = 0;
    int error = 0; // why the walk stopped short: the errno of part depth, ESTALE where check refused it
};
// Walks parts[0] to parts[count - 1]. check(depth, st), when given, may refuse the folder at each depth
// from 0 ("/") on.
FolderWalk WalkFolders(const std::vector<std::string>& parts, std::size_t count,
                       const std::function<bool(std::size_t depth, const struct stat&)>& check = {});
// Why a walk could not enter folder, in words.
std::string WalkFailure(int error, const std::string& folder);

// Opens the folder name in parent, making it (mode 0700) when it is missing and make is set.
UniqueFd OpenFolder(int parent, const std::string& name, bool make);
// Flushes the folder held by pathFd to the disk; 0 or an errno value. A folder that may be written
// but not read cannot be opened for that and is left to the filesystem.
int SyncFolder(int pathFd);
// Flushes the whole filesystem of the folder held by pathFd (syncfs); 0 or an errno value.
int SyncFilesystem(int pathFd);
bool OwnedFolder(int fd, uid_t uid);

// A trash folder with its files/ and info/ folders open.
struct TrashFolder
{
    std::string path; // for messages and results, without a trailing "/"
    UniqueFd files;
    UniqueFd info;
    bool relativePaths = false; // a top-directory trash records paths from its top directory
};
// Opens files/ and info/ in trash (making them when make is set); 0 or an errno value.
int OpenTrashSubfolders(UniqueFd trash, TrashFolder& folder, bool make);
// The user's folder in a shared ".Trash" at top: only in a real folder with the sticky bit, so that
// nobody else can take or replace what a user put there. Whose folder it is remains to be checked.
UniqueFd OpenSharedTrash(int top, const std::string& user, bool make);

// Renames without replacing what may have appeared under the new name meanwhile; 0 or an errno value
// (EEXIST for a name that is taken).
int RenameNoReplace(int fromDir, const std::string& from, int toDir, const std::string& to);
