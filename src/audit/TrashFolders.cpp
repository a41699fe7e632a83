// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TrashFolders.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

std::string Quoted(const std::string& path)
{
    return "'" + path + "'";
}

std::string WithError(std::string text, int error)
{
    return text + " (" + std::strerror(error) + ")";
}

std::vector<std::string> SplitPath(std::string_view path)
{
    std::vector<std::string> parts;
    for (std::size_t start = 0; start < path.size();) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string JoinParts(const std::vector<std::string>& parts, std::size_t from, std::size_t to, bool absolute)
{
    std::string path;
    for (std::size_t i = from; i < to; ++i) {
        if (absolute || i > from)
            path += '/';
        path += parts[i];
    }
    return absolute && path.empty() ? "/" : path;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string ChildOf(const std::string& folder, std::string_view name)
{
    return (folder == "/" ? folder : folder + "/") + std::string(name);
}

FolderWalk WalkFolders(const std::vector<std::string>& parts, std::size_t count,
                       const std::function<bool(std::size_t, const struct stat&)>& check)
{
    FolderWalk walk;
    struct stat st = {};
    walk.dir.reset(::open("/", kFolderFlags));
    if (!walk.dir || ::fstat(walk.dir.get(), &st) != 0) {
        walk.error = errno;
        walk.dir.reset();
        return walk;
    }
    walk.device = st.st_dev;
    walk.top.reset(::dup(walk.dir.get()));
    if (check && !check(0, st)) {
        walk.error = ESTALE;
        return walk;
    }
    for (; walk.depth < count; ++walk.depth) {
        UniqueFd next(::openat(walk.dir.get(), parts[walk.depth].c_str(), kFolderFlags));
        if (!next || ::fstat(next.get(), &st) != 0) {
            walk.error = errno;
            return walk;
        }
        // A change of device is a mount point: the top directory of the filesystem below it.
        if (st.st_dev != walk.device) {
            walk.device = st.st_dev;
            walk.top.reset(::dup(next.get()));
            walk.topDepth = walk.depth + 1;
        }
        walk.dir = std::move(next);
        if (check && !check(walk.depth + 1, st)) {
            ++walk.depth;
            walk.error = ESTALE;
            return walk;
        }
    }
    return walk;
}

std::string WalkFailure(int error, const std::string& folder)
{
    if (error == ENOENT)
        return "the folder " + Quoted(folder) + " no longer exists";
    if (error == ENOTDIR || error == ELOOP)
        return Quoted(folder) + " is no longer a folder: a symbolic link or a file took its place";
    return WithError("the folder " + Quoted(folder) + " cannot be entered", error);
}

UniqueFd OpenFolder(int parent, const std::string& name, bool make)
{
    UniqueFd fd(::openat(parent, name.c_str(), kFolderFlags));
    if (!fd && errno == ENOENT && make) {
        if (::mkdirat(parent, name.c_str(), 0700) != 0 && errno != EEXIST)
            return {};
        fd.reset(::openat(parent, name.c_str(), kFolderFlags));
    }
    return fd;
}

int SyncFolder(int pathFd)
{
    UniqueFd fd(::openat(pathFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd)
        return errno == EACCES ? 0 : errno;
    return ::fsync(fd.get()) == 0 ? 0 : errno;
}

int SyncFilesystem(int pathFd)
{
    // syncfs takes no O_PATH descriptor.
    UniqueFd fd(::openat(pathFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd)
        return errno;
    return ::syncfs(fd.get()) == 0 ? 0 : errno;
}

bool OwnedFolder(int fd, uid_t uid)
{
    struct stat st = {};
    return ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid;
}

int OpenTrashSubfolders(UniqueFd trash, TrashFolder& folder, bool make)
{
    folder.files = OpenFolder(trash.get(), "files", make);
    if (folder.files)
        folder.info = OpenFolder(trash.get(), "info", make);
    return folder.files && folder.info ? 0 : errno;
}

UniqueFd OpenSharedTrash(int top, const std::string& user, bool make)
{
    UniqueFd shared(::openat(top, ".Trash", kFolderFlags));
    struct stat st = {};
    if (!shared || ::fstat(shared.get(), &st) != 0 || !(st.st_mode & S_ISVTX))
        return {};
    return OpenFolder(shared.get(), user, make);
}

int RenameNoReplace(int fromDir, const std::string& from, int toDir, const std::string& to)
{
    if (::renameat2(fromDir, from.c_str(), toDir, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A filesystem without that option (NFS, many FUSE ones): a hard link never replaces a name
    // either, and the old name goes once the new one stands.
    if (::linkat(fromDir, from.c_str(), toDir, to.c_str(), 0) == 0) {
        if (::unlinkat(fromDir, from.c_str(), 0) == 0)
            return 0;
        const int error = errno;
        ::unlinkat(toDir, to.c_str(), 0);
        return error;
    }
    if (errno == EEXIST || (errno != EPERM && errno != EXDEV && errno != EOPNOTSUPP && errno != EMLINK))
        return errno;
    // Nor hard links: the name is looked at just before a plain rename.
    struct stat st = {};
    if (::fstatat(toDir, to.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return ::renameat(fromDir, from.c_str(), toDir, to.c_str()) == 0 ? 0 : errno;
}
