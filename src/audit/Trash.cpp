// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/Trash.h"

#include "audit/TrashFolders.h"
#include "audit/TrashInfo.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Enough for any real clash of names; a trash that holds more copies of one name is not searched on.
constexpr int kMaxAttempts = 10000;

TrashResult failure(int error, std::string reason)
{
    TrashResult result;
    result.error = error;
    result.reason = std::move(reason);
    return result;
}

// The file a listed file names, reached folder by folder from its resolved root without following a link.
struct ResolvedPath
{
    UniqueFd dir;                   // the folder that holds the file
    std::string name;               // the file's name in it
    std::string folderShown;        // that folder as the report names it
    std::vector<std::string> parts; // every part of the resolved path, the name last
    UniqueFd top;                   // the top directory of the folder's filesystem
    std::size_t topDepth = 0;       // how many parts lead to top
    dev_t device = 0;               // the folder's filesystem
    struct stat file = {};          // the file as found
};

bool sameListedFile(const ListedFile& listed, const struct stat& st)
{
    return listed.size < 0 || (st.st_size == listed.size && st.st_mtim.tv_sec == listed.time);
}

TrashResult resolve(const ListedFile& listed, ResolvedPath& out)
{
    if (!listed.root.starts_with('/'))
        return failure(EINVAL, "its path is not absolute");
    const std::vector<std::string> below = SplitPath(listed.relative);
    if (below.empty() || listed.relative.ends_with('/'))
        return failure(EISDIR, "it names a folder, not a file");
    for (const std::string& part : below) {
        if (part == "." || part == "..")
            return failure(EINVAL, "its path holds \".\" or \"..\"");
    }
    // The root as the walk met it: its links are followed here, once, and none below it.
    if (listed.root != "/") {
        char* real = ::realpath(listed.root.c_str(), nullptr);
        if (!real) {
            const int error = errno;
            return failure(error, WalkFailure(error, listed.root));
        }
        out.parts = SplitPath(real);
        std::free(real);
    }
    const std::size_t rootDepth = out.parts.size();
    out.parts.insert(out.parts.end(), below.begin(), below.end());
    const auto shown = [&](std::size_t depth) {
        if (depth < rootDepth)
            return JoinParts(out.parts, 0, depth, true);
        if (depth == rootDepth)
            return listed.root.size() > 1 ? listed.root.substr(0, listed.root.size() - 1) : listed.root;
        return listed.root + JoinParts(below, 0, depth - rootDepth, false);
    };
    const auto sameFolder = [&](std::size_t depth, const struct stat& st) {
        if (depth < rootDepth || depth - rootDepth >= listed.folderIds.size())
            return true;
        const FileId& id = listed.folderIds[depth - rootDepth];
        return id == FileId{} || id == FileId{st.st_dev, st.st_ino};
    };

    FolderWalk walk = WalkFolders(out.parts, out.parts.size() - 1, sameFolder);
    if (!walk.dir)
        return failure(walk.error, WithError("the root folder cannot be opened", walk.error));
    if (walk.error == ESTALE)
        return failure(ESTALE, "the folder " + Quoted(shown(walk.depth)) + " changed since the report");
    if (walk.error != 0)
        return failure(walk.error, WalkFailure(walk.error, shown(walk.depth + 1)));
    out.dir = std::move(walk.dir);
    out.top = std::move(walk.top);
    out.topDepth = walk.topDepth;
    out.device = walk.device;
    out.name = out.parts.back();
    out.folderShown = shown(out.parts.size() - 1);

    if (::fstatat(out.dir.get(), out.name.c_str(), &out.file, AT_SYMLINK_NOFOLLOW) != 0) {
        const int error = errno;
        if (error == ENOENT)
            return failure(error, "the file no longer exists");
        return failure(error, WithError("the file cannot be examined", error));
    }
    if (!S_ISREG(out.file.st_mode))
        return failure(EINVAL, "it is no longer a regular file");
    if (!sameListedFile(listed, out.file))
        return failure(ESTALE, "it changed since the report");
    if (!out.top)
        return failure(errno, WithError("the folder cannot be opened", errno));
    return {};
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

// Opens the subfolders of a trash folder chosen for a file, making them when missing.
TrashResult openSubfolders(UniqueFd trash, TrashFolder& folder)
{
    if (const int error = OpenTrashSubfolders(std::move(trash), folder, true))
        return failure(error,
                       WithError("the trash folder " + Quoted(folder.path) + " cannot be used", error));
    return {};
}

TrashResult openTopTrash(const ResolvedPath& file, uid_t uid, TrashFolder& folder)
{
    const std::string top = JoinParts(file.parts, 0, file.topDepth, true);
    const std::string user = std::to_string(uid);
    folder.relativePaths = true;

    if (UniqueFd mine = OpenSharedTrash(file.top.get(), user, true); mine && OwnedFolder(mine.get(), uid)) {
        folder.path = ChildOf(top, ".Trash/" + user);
        return openSubfolders(std::move(mine), folder);
    }
    const std::string own = ".Trash-" + user;
    folder.path = ChildOf(top, own);
    UniqueFd mine = OpenFolder(file.top.get(), own, true);
    if (!mine)
        return failure(errno, WithError("its filesystem has no trash folder, and " + Quoted(folder.path) +
                                            " cannot be made",
                                        errno));
    if (!OwnedFolder(mine.get(), uid))
        return failure(EPERM, "the trash folder " + Quoted(folder.path) +
                                  " of its filesystem belongs to another user");
    return openSubfolders(std::move(mine), folder);
}

TrashResult openHomeTrash(const std::string& homeTrash, TrashFolder& folder)
{
    folder.path = homeTrash;
    if (const int error = makeHomeFolders(homeTrash))
        return failure(error, WithError("the trash folder " + Quoted(homeTrash) + " cannot be made", error));
    UniqueFd trash(::open(homeTrash.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!trash)
        return failure(errno,
                       WithError("the trash folder " + Quoted(homeTrash) + " cannot be opened", errno));
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

std::string moveFailure(int error, const TrashFolder& trash, const ResolvedPath& file)
{
    switch (error) {
    case ENOENT:
        return "the file no longer exists";
    case EXDEV:
        return "the trash folder " + Quoted(trash.path) + " is on another filesystem";
    case EACCES:
    case EPERM:
        // The trash's files/ folder is the user's own; when it may be written, the file's folder refused.
        if (::faccessat(trash.files.get(), "", W_OK | X_OK, AT_EMPTY_PATH | AT_EACCESS) == 0)
            return WithError("its folder " + Quoted(file.folderShown) + " does not let it be moved", error);
        [[fallthrough]];
    default:
        return WithError("it cannot be moved into " + Quoted(trash.path), error);
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

int Trash::sync(std::string_view name, int fd, bool folder) const
{
    step(name);
    if (folder)
        return SyncFolder(fd);
    return ::fsync(fd) == 0 ? 0 : errno;
}

TrashResult Trash::Check(const ListedFile& file) const
{
    ResolvedPath resolved;
    return resolve(file, resolved);
}

TrashResult Trash::Move(const ListedFile& listed, const LocalDateTime& now) const
{
    ResolvedPath file;
    if (TrashResult resolved = resolve(listed, file); !resolved)
        return resolved;

    TrashFolder folder;
    dev_t homeDevice = 0;
    const bool home = deviceOf(m_homeTrash, homeDevice) && homeDevice == file.device;
    if (TrashResult opened = home ? openHomeTrash(m_homeTrash, folder) : openTopTrash(file, m_uid, folder);
        !opened)
        return opened;

    const std::string recordedPath = folder.relativePaths
                                         ? JoinParts(file.parts, file.topDepth, file.parts.size(), false)
                                         : JoinParts(file.parts, 0, file.parts.size(), true);
    const std::string infoText = TrashInfoText(recordedPath, now);
    const std::string recordFailure = "its record cannot be written in " + Quoted(folder.path + "/info");

    for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
        const std::string name = TrashCandidateName(file.name, attempt);
        const std::string infoName = name + ".trashinfo";
        // The record is made first and exclusively: it claims the name for this file.
        UniqueFd info(::openat(folder.info.get(), infoName.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!info) {
            if (errno == EEXIST)
                continue;
            return failure(errno, WithError(recordFailure, errno));
        }
        const auto dropRecord = [&] { ::unlinkat(folder.info.get(), infoName.c_str(), 0); };
        // A file left in files/ without a record is not ours to replace.
        struct stat st = {};
        if (::fstatat(folder.files.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            info.reset();
            dropRecord();
            continue;
        }
        // A record that is on the disk before the move: a crash can never leave the file in the trash
        // without it.
        int error = writeAll(info.get(), infoText) ? 0 : errno ? errno : EIO;
        if (error == 0)
            error = sync("sync record", info.get(), false);
        if (::close(info.release()) != 0 && error == 0)
            error = errno;
        if (error == 0)
            error = sync("sync info", folder.info.get(), true);
        if (error != 0) {
            dropRecord();
            return failure(error, WithError(recordFailure, error));
        }
        step("rename");
        error = RenameNoReplace(file.dir.get(), file.name, folder.files.get(), name);
        if (error != 0) {
            dropRecord();
            if (error == EEXIST)
                continue;
            return failure(error, moveFailure(error, folder, file));
        }

        const std::string trashedPath = folder.path + "/files/" + name;
        const auto putBack = [&](int why, std::string reason) {
            if (RenameNoReplace(folder.files.get(), name, file.dir.get(), file.name) == 0)
                dropRecord();
            else
                reason += ", and it stays in the trash as " + Quoted(trashedPath);
            return failure(why, std::move(reason));
        };
        // The name was checked, then moved: what arrived must be what was checked.
        if (::fstatat(folder.files.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            st.st_dev != file.file.st_dev || st.st_ino != file.file.st_ino || !sameListedFile(listed, st))
            return putBack(ESTALE, "it changed since the report");
        // Both folders on the disk before the audit line can be: a move that does not last gets none.
        error = sync("sync files", folder.files.get(), true);
        if (error == 0)
            error = sync("sync folder", file.dir.get(), true);
        if (error != 0)
            return putBack(error, WithError("the move cannot be flushed to the disk", error));

        TrashResult result;
        result.trashedPath = trashedPath;
        result.infoPath = folder.path + "/info/" + infoName;
        return result;
    }
    return failure(EEXIST, "the trash " + Quoted(folder.path) + " holds too many files of that name");
}
