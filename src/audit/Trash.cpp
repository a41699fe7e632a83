// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/Trash.h"

#include "audit/TrashInfo.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kDirFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
// Enough for any real clash of names; a trash that holds more copies of one name is not searched on.
constexpr int kMaxAttempts = 10000;

TrashResult failure(int error, std::string reason)
{
    TrashResult result;
    result.error = error;
    result.reason = std::move(reason);
    return result;
}

std::string quoted(const std::string& path)
{
    return "'" + path + "'";
}

std::string withError(std::string text, int error)
{
    return text + " (" + std::strerror(error) + ")";
}

// The file a path names, reached folder by folder without following a link.
struct ResolvedPath
{
    UniqueFd dir;                   // the folder that holds the file
    std::string name;               // the file's name in it
    std::vector<std::string> parts; // every part of the path, the name last
    UniqueFd top;                   // the top directory of the folder's filesystem
    std::size_t topDepth = 0;       // how many parts lead to top
    dev_t device = 0;               // the folder's filesystem
};

std::string joinParts(const std::vector<std::string>& parts, std::size_t from, std::size_t to)
{
    std::string path;
    for (std::size_t i = from; i < to; ++i) {
        if (!path.empty() || from == 0)
            path += '/';
        path += parts[i];
    }
    return from == 0 && path.empty() ? "/" : path;
}

TrashResult resolve(const std::string& path, ResolvedPath& out)
{
    if (path.empty() || path.front() != '/')
        return failure(EINVAL, "its path is not absolute");
    for (std::size_t start = 1; start <= path.size();) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            out.parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    if (out.parts.empty() || path.back() == '/')
        return failure(EISDIR, "it names a folder, not a file");
    for (const std::string& part : out.parts) {
        if (part == "." || part == "..")
            return failure(EINVAL, "its path holds \".\" or \"..\"");
    }

    out.dir.reset(::open("/", kDirFlags));
    struct stat st = {};
    if (!out.dir || ::fstat(out.dir.get(), &st) != 0)
        return failure(errno, withError("the root folder cannot be opened", errno));
    out.device = st.st_dev;
    out.top.reset(::dup(out.dir.get()));
    for (std::size_t i = 0; i + 1 < out.parts.size(); ++i) {
        UniqueFd next(::openat(out.dir.get(), out.parts[i].c_str(), kDirFlags));
        if (!next) {
            const int error = errno;
            const std::string folder = quoted(joinParts(out.parts, 0, i + 1));
            if (error == ENOENT)
                return failure(error, "the folder " + folder + " no longer exists");
            if (error == ENOTDIR || error == ELOOP)
                return failure(error,
                               folder + " is no longer a folder: a symbolic link or a file took its place");
            return failure(error, withError("the folder " + folder + " cannot be entered", error));
        }
        if (::fstat(next.get(), &st) != 0)
            return failure(errno, withError("the folder cannot be read", errno));
        // A change of device is a mount point: the top directory of the filesystem below it.
        if (st.st_dev != out.device) {
            out.device = st.st_dev;
            out.top.reset(::dup(next.get()));
            out.topDepth = i + 1;
        }
        out.dir = std::move(next);
    }
    out.name = out.parts.back();
    if (::fstatat(out.dir.get(), out.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        const int error = errno;
        if (error == ENOENT)
            return failure(error, "the file no longer exists");
        return failure(error, withError("the file cannot be examined", error));
    }
    if (!S_ISREG(st.st_mode))
        return failure(EINVAL, "it is no longer a regular file");
    if (!out.top)
        return failure(errno, withError("the folder cannot be opened", errno));
    return {};
}

// Opens the folder name in parent, making it (mode 0700) when it is missing. A link is not followed.
UniqueFd openOrMakeDir(int parent, const std::string& name)
{
    UniqueFd fd(::openat(parent, name.c_str(), kDirFlags));
    if (!fd && errno == ENOENT) {
        if (::mkdirat(parent, name.c_str(), 0700) != 0 && errno != EEXIST)
            return {};
        fd.reset(::openat(parent, name.c_str(), kDirFlags));
    }
    return fd;
}

// The device of path, or of its nearest existing parent when it does not exist yet.
bool deviceOf(std::string path, dev_t& device)
{
    struct stat st = {};
    while (::stat(path.c_str(), &st) != 0) {
        const std::size_t slash = path.find_last_of('/', path.size() > 1 ? path.size() - 2 : 0);
        if (errno != ENOENT || slash == std::string::npos)
            return false;
        path = slash == 0 ? "/" : path.substr(0, slash);
    }
    device = st.st_dev;
    return true;
}

// Makes path and its missing parents, each with mode 0700, as the XDG base directory rules ask.
int makeHomeFolders(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
        if (slash == std::string::npos)
            return 0;
    }
}

// A trash folder ready for one file: its files/ and info/ folders open.
struct TrashFolder
{
    std::string path; // for messages and results, without a trailing "/"
    UniqueFd files;
    UniqueFd info;
    bool relativePaths = false; // a top-directory trash records paths from its top directory
};

TrashResult openSubfolders(UniqueFd trash, TrashFolder& folder)
{
    folder.files = openOrMakeDir(trash.get(), "files");
    if (folder.files)
        folder.info = openOrMakeDir(trash.get(), "info");
    if (!folder.files || !folder.info)
        return failure(errno,
                       withError("the trash folder " + quoted(folder.path) + " cannot be used", errno));
    return {};
}

bool ownedDirectory(int fd, uid_t uid)
{
    struct stat st = {};
    return ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid;
}

TrashResult openTopTrash(const ResolvedPath& file, uid_t uid, TrashFolder& folder)
{
    const std::string top = joinParts(file.parts, 0, file.topDepth);
    const std::string topSlash = top == "/" ? top : top + "/";
    const std::string user = std::to_string(uid);
    folder.relativePaths = true;

    // A shared ".Trash" counts only as a real folder with the sticky bit, so that nobody else can
    // take or replace what a user put there.
    UniqueFd shared(::openat(file.top.get(), ".Trash", kDirFlags));
    struct stat st = {};
    if (shared && ::fstat(shared.get(), &st) == 0 && (st.st_mode & S_ISVTX)) {
        UniqueFd mine = openOrMakeDir(shared.get(), user);
        if (mine && ownedDirectory(mine.get(), uid)) {
            folder.path = topSlash + ".Trash/" + user;
            return openSubfolders(std::move(mine), folder);
        }
    }
    const std::string own = ".Trash-" + user;
    folder.path = topSlash + own;
    UniqueFd mine = openOrMakeDir(file.top.get(), own);
    if (!mine)
        return failure(errno, withError("its filesystem has no trash folder, and " + quoted(folder.path) +
                                            " cannot be made",
                                        errno));
    if (!ownedDirectory(mine.get(), uid))
        return failure(EPERM, "the trash folder " + quoted(folder.path) +
                                  " of its filesystem belongs to another user");
    return openSubfolders(std::move(mine), folder);
}

TrashResult openHomeTrash(const std::string& homeTrash, TrashFolder& folder)
{
    folder.path = homeTrash;
    if (const int error = makeHomeFolders(homeTrash))
        return failure(error, withError("the trash folder " + quoted(homeTrash) + " cannot be made", error));
    UniqueFd trash(::open(homeTrash.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!trash)
        return failure(errno,
                       withError("the trash folder " + quoted(homeTrash) + " cannot be opened", errno));
    return openSubfolders(std::move(trash), folder);
}

bool writeAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Renames without replacing what may have appeared under the new name meanwhile; filesystems without
// that option fall back to a plain rename, the name having been found free just before.
int renameNoReplace(int fromDir, const std::string& from, int toDir, const std::string& to)
{
    if (::renameat2(fromDir, from.c_str(), toDir, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    return ::renameat(fromDir, from.c_str(), toDir, to.c_str()) == 0 ? 0 : errno;
}

std::string moveFailure(int error, const std::string& trashPath)
{
    switch (error) {
    case ENOENT:
        return "the file no longer exists";
    case EXDEV:
        return "the trash folder " + quoted(trashPath) + " is on another filesystem";
    default:
        return withError("it cannot be moved into " + quoted(trashPath), error);
    }
}

} // namespace

Trash::Trash(std::string homeTrash, uid_t uid) : m_homeTrash(std::move(homeTrash)), m_uid(uid)
{
    while (m_homeTrash.size() > 1 && m_homeTrash.back() == '/')
        m_homeTrash.pop_back();
}

Trash Trash::ForCurrentUser()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return Trash(std::string(dataHome) + "/Trash", ::getuid());
    std::string home;
    if (const char* env = std::getenv("HOME"); env && env[0] == '/')
        home = env;
    else if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir)
        home = user->pw_dir;
    return Trash(home + "/.local/share/Trash", ::getuid());
}

TrashResult Trash::Check(const std::string& path) const
{
    ResolvedPath file;
    return resolve(path, file);
}

TrashResult Trash::Move(const std::string& path, const LocalDateTime& now) const
{
    ResolvedPath file;
    if (TrashResult resolved = resolve(path, file); !resolved)
        return resolved;

    TrashFolder folder;
    dev_t homeDevice = 0;
    const bool home = deviceOf(m_homeTrash, homeDevice) && homeDevice == file.device;
    if (TrashResult opened = home ? openHomeTrash(m_homeTrash, folder) : openTopTrash(file, m_uid, folder);
        !opened)
        return opened;

    const std::string recordedPath = folder.relativePaths
                                         ? joinParts(file.parts, file.topDepth, file.parts.size())
                                         : joinParts(file.parts, 0, file.parts.size());
    const std::string infoText = TrashInfoText(recordedPath, now);

    for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
        const std::string name = TrashCandidateName(file.name, attempt);
        const std::string infoName = name + ".trashinfo";
        // The record is made first and exclusively: it claims the name for this file.
        UniqueFd info(::openat(folder.info.get(), infoName.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!info) {
            if (errno == EEXIST)
                continue;
            return failure(
                errno, withError("its record cannot be written in " + quoted(folder.path + "/info"), errno));
        }
        const auto dropRecord = [&] { ::unlinkat(folder.info.get(), infoName.c_str(), 0); };
        // A file left in files/ without a record is not ours to replace.
        struct stat st = {};
        if (::fstatat(folder.files.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            info.reset();
            dropRecord();
            continue;
        }
        const bool written = writeAll(info.get(), infoText);
        const int writeError = errno;
        if (!written || ::close(info.release()) != 0) {
            const int error = written ? errno : writeError;
            dropRecord();
            return failure(
                error, withError("its record cannot be written in " + quoted(folder.path + "/info"), error));
        }
        const int error = renameNoReplace(file.dir.get(), file.name, folder.files.get(), name);
        if (error != 0) {
            dropRecord();
            if (error == EEXIST)
                continue;
            return failure(error, moveFailure(error, folder.path));
        }
        TrashResult result;
        result.trashedPath = folder.path + "/files/" + name;
        result.infoPath = folder.path + "/info/" + infoName;
        return result;
    }
    return failure(EEXIST, "the trash " + quoted(folder.path) + " holds too many files of that name");
}
