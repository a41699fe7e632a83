// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TrashBatch.h"

#include "audit/TrashFolders.h"
#include "audit/TrashInfo.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

// The roots and folders a group has reached, so that the files of one folder are reached with one walk.
// A folder is kept with the identities its walk met, and a file whose report saw other folders on the
// way is refused as a walk of its own would refuse it.
struct WalkCache
{
    struct Folder
    {
        std::shared_ptr<FolderWalk> walk;
        std::vector<FileId> ids; // of "/" and of each folder down to it
    };
    std::unordered_map<std::string, std::vector<std::string>> roots; // as listed: the parts it resolves to
    std::unordered_map<std::string, Folder> folders;                 // by resolved path
};

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
    std::shared_ptr<FolderWalk> folder; // the walk to the folder that holds the file
    std::string name;                   // the file's name in it
    std::string folderShown;            // that folder as the report names it
    std::vector<std::string> parts;     // every part of the resolved path, the name last
    struct stat file = {};              // the file as found
    std::int64_t listedSize = -1;       // and as the report saw it
    std::int64_t listedTime = 0;

    int dir() const { return folder->dir.get(); }
    dev_t device() const { return folder->device; }
};

bool sameListedFile(std::int64_t size, std::int64_t time, const struct stat& st)
{
    return size < 0 || (st.st_size == size && st.st_mtim.tv_sec == time);
}

TrashResult resolve(const ListedFile& listed, ResolvedPath& out, WalkCache* cache = nullptr)
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
    if (const auto known = cache ? cache->roots.find(listed.root) : decltype(cache->roots.find(""))();
        cache && known != cache->roots.end()) {
        out.parts = known->second;
    } else if (listed.root != "/") {
        char* real = ::realpath(listed.root.c_str(), nullptr);
        if (!real) {
            const int error = errno;
            return failure(error, WalkFailure(error, listed.root));
        }
        out.parts = SplitPath(real);
        std::free(real);
        if (cache)
            cache->roots.emplace(listed.root, out.parts);
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
    const auto sameFolder = [&](std::size_t depth, const FileId& seen) {
        if (depth < rootDepth || depth - rootDepth >= listed.folderIds.size())
            return true;
        const FileId& id = listed.folderIds[depth - rootDepth];
        return id == FileId{} || id == seen;
    };

    const std::size_t count = out.parts.size() - 1;
    const std::string key = JoinParts(out.parts, 0, count, true);
    if (const auto known = cache ? cache->folders.find(key) : decltype(cache->folders.find(""))();
        cache && known != cache->folders.end()) {
        for (std::size_t depth = 0; depth <= count; ++depth) {
            if (!sameFolder(depth, known->second.ids[depth]))
                return failure(ESTALE, "the folder " + Quoted(shown(depth)) + " changed since the report");
        }
        out.folder = known->second.walk;
    } else {
        std::vector<FileId> ids;
        out.folder = std::make_shared<FolderWalk>(
            WalkFolders(out.parts, count, [&](std::size_t depth, const struct stat& st) {
                ids.push_back({st.st_dev, st.st_ino});
                return sameFolder(depth, ids.back());
            }));
        const FolderWalk& walk = *out.folder;
        if (!walk.dir)
            return failure(walk.error, WithError("the root folder cannot be opened", walk.error));
        if (walk.error == ESTALE)
            return failure(ESTALE, "the folder " + Quoted(shown(walk.depth)) + " changed since the report");
        if (walk.error != 0)
            return failure(walk.error, WalkFailure(walk.error, shown(walk.depth + 1)));
        if (!walk.top)
            return failure(EMFILE, WithError("the folder cannot be opened", EMFILE));
        if (cache)
            cache->folders.emplace(key, WalkCache::Folder{out.folder, std::move(ids)});
    }
    out.name = out.parts.back();
    out.folderShown = shown(count);

    if (::fstatat(out.dir(), out.name.c_str(), &out.file, AT_SYMLINK_NOFOLLOW) != 0) {
        const int error = errno;
        if (error == ENOENT)
            return failure(error, "the file no longer exists");
        return failure(error, WithError("the file cannot be examined", error));
    }
    if (!S_ISREG(out.file.st_mode))
        return failure(EINVAL, "it is no longer a regular file");
    out.listedSize = listed.size;
    out.listedTime = listed.time;
    if (!sameListedFile(listed.size, listed.time, out.file))
        return failure(ESTALE, "it changed since the report");
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
    const std::string top = JoinParts(file.parts, 0, file.folder->topDepth, true);
    const std::string user = std::to_string(uid);
    folder.relativePaths = true;

    if (UniqueFd mine = OpenSharedTrash(file.folder->top.get(), user, true);
        mine && OwnedFolder(mine.get(), uid)) {
        folder.path = ChildOf(top, ".Trash/" + user);
        return openSubfolders(std::move(mine), folder);
    }
    const std::string own = ".Trash-" + user;
    folder.path = ChildOf(top, own);
    UniqueFd mine = OpenFolder(file.folder->top.get(), own, true);
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

// A trash folder as the group opened it, or why it could not be.
struct TrashBatch::Trashcan
{
    TrashFolder folder;
    TrashResult opened;
    std::string realPath; // the folder's path with its links resolved, as a file's path is
};

struct TrashBatch::Pending
{
    ResolvedPath file;
    std::shared_ptr<Trashcan> trash;
    std::string infoText;
    std::string name;   // in files/; the record is name + ".trashinfo" in info/
    UniqueFd record;    // kept open only while the file is alone in its group
    TrashResult result; // a failure, or where the file went
    bool moved = false;

    std::string infoName() const { return name + ".trashinfo"; }
    std::string trashedPath() const { return trash->folder.path + "/files/" + name; }
    void dropRecord() const { ::unlinkat(trash->folder.info.get(), infoName().c_str(), 0); }
    std::string recordFailure() const
    {
        return "its record cannot be written in " + Quoted(trash->folder.path + "/info");
    }
};

TrashBatch::TrashBatch(const Trash& trash, Flush flush)
    : m_trash(trash), m_flush(flush), m_walks(std::make_unique<WalkCache>())
{}

TrashBatch::~TrashBatch()
{
    for (const Pending& file : m_group)
        file.dropRecord();
}

std::size_t TrashBatch::pending() const
{
    return m_group.size();
}

TrashResult TrashBatch::Check(const ListedFile& file)
{
    ResolvedPath resolved;
    return resolve(file, resolved);
}

std::size_t TrashBatch::openFolders() const
{
    return m_walks->folders.size();
}

std::shared_ptr<TrashBatch::Trashcan> TrashBatch::trashFor(const Pending& pending)
{
    const ResolvedPath& file = pending.file;
    if (!m_homeDevice) {
        dev_t device = 0;
        m_homeDevice = deviceOf(m_trash.homeTrash(), device) ? device : dev_t(-1);
    }
    const bool home = *m_homeDevice == file.device();
    const std::string key =
        home ? m_trash.homeTrash() : JoinParts(file.parts, 0, file.folder->topDepth, true);
    auto [known, added] = m_trashcans.try_emplace(key);
    if (added) {
        known->second = std::make_shared<Trashcan>();
        Trashcan& trash = *known->second;
        trash.opened = home ? openHomeTrash(m_trash.homeTrash(), trash.folder)
                            : openTopTrash(file, m_trash.uid(), trash.folder);
        if (char* real = ::realpath(trash.folder.path.c_str(), nullptr)) {
            trash.realPath = real;
            std::free(real);
        }
    }
    return known->second;
}

TrashResult TrashBatch::claim(Pending& pending)
{
    const TrashFolder& folder = pending.trash->folder;
    int& attempt = m_nextAttempt[folder.path + '/' + pending.file.name];
    for (attempt = std::max(attempt, 1); attempt <= kMaxAttempts; ++attempt) {
        pending.name = TrashCandidateName(pending.file.name, attempt);
        // The record is made first and exclusively: it claims the name for this file, also against
        // another program trashing into the same trash at the same time.
        UniqueFd info(::openat(folder.info.get(), pending.infoName().c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!info) {
            if (errno == EEXIST)
                continue;
            return failure(errno, WithError(pending.recordFailure(), errno));
        }
        int error = writeAll(info.get(), pending.infoText) ? 0 : errno ? errno : EIO;
        // Flushed by filesystem, a record needs no descriptor of its own.
        if (error == 0 && m_flush == Flush::Filesystem && ::close(info.release()) != 0)
            error = errno;
        if (error != 0) {
            info.reset();
            pending.dropRecord();
            return failure(error, WithError(pending.recordFailure(), error));
        }
        ++attempt;
        pending.record = std::move(info);
        return {};
    }
    return failure(EEXIST, "the trash " + Quoted(folder.path) + " holds too many files of that name");
}

TrashResult TrashBatch::Add(const ListedFile& listed, const LocalDateTime& now)
{
    Pending pending;
    if (TrashResult resolved = resolve(listed, pending.file, m_walks.get()); !resolved)
        return resolved;
    pending.trash = trashFor(pending);
    if (!pending.trash->opened)
        return pending.trash->opened;
    // A report over the home folder lists the trash's own files too. Such a file is there already:
    // trashing it again would leave its first record without its file, and give it a record that
    // leads back into the trash.
    if (const std::string& trash = pending.trash->realPath; !trash.empty()) {
        const std::string path = JoinParts(pending.file.parts, 0, pending.file.parts.size(), true);
        if (path.starts_with(trash + "/files/") || path.starts_with(trash + "/info/"))
            return failure(EEXIST, "it is in the trash already");
    }
    // Once a folder's trash is known its filesystem's top is not needed again: no descriptor is held
    // longer than it must.
    pending.file.folder->top.reset();
    const ResolvedPath& file = pending.file;
    pending.infoText =
        TrashInfoText(pending.trash->folder.relativePaths
                          ? JoinParts(file.parts, file.folder->topDepth, file.parts.size(), false)
                          : JoinParts(file.parts, 0, file.parts.size(), true),
                      now);
    if (TrashResult claimed = claim(pending); !claimed)
        return claimed;
    m_group.push_back(std::move(pending));
    return {};
}

void TrashBatch::flush(const std::vector<Pending*>& records, const std::vector<Pending*>& moves)
{
    const auto dropRecord = [](Pending& file, int error) {
        file.dropRecord();
        file.result = failure(error, WithError(file.recordFailure(), error));
    };
    // Both folders on the disk before the audit line can be: a move that does not last gets none.
    const auto takeBack = [this](Pending& file, int error) {
        putBack(file, error, WithError("the move cannot be flushed to the disk", error));
    };
    if (m_flush == Flush::EachFile) {
        for (Pending* file : records) {
            int error = m_trash.sync("sync record", file->record.get(), false);
            if (::close(file->record.release()) != 0 && error == 0)
                error = errno;
            if (error == 0)
                error = m_trash.sync("sync info", file->trash->folder.info.get(), true);
            if (error != 0)
                dropRecord(*file, error);
        }
        for (Pending* file : moves) {
            int error = m_trash.sync("sync files", file->trash->folder.files.get(), true);
            if (error == 0)
                error = m_trash.sync("sync folder", file->file.dir(), true);
            if (error != 0)
                takeBack(*file, error);
        }
        return;
    }
    // A file and its trash are on one filesystem.
    std::map<dev_t, int> filesystems;
    for (const std::vector<Pending*>* files : {&records, &moves}) {
        for (Pending* file : *files)
            filesystems.try_emplace(file->file.device(), file->trash->folder.info.get());
    }
    for (const auto& [device, folder] : filesystems) {
        const int error = m_trash.syncFilesystem("sync", folder);
        for (Pending* file : records) {
            if (error != 0 && file->file.device() == device)
                dropRecord(*file, error);
        }
        for (Pending* file : moves) {
            if (error != 0 && file->file.device() == device)
                takeBack(*file, error);
        }
    }
}

void TrashBatch::putBack(Pending& pending, int error, std::string reason)
{
    if (RenameNoReplace(pending.trash->folder.files.get(), pending.name, pending.file.dir(),
                        pending.file.name) == 0) {
        // Back for good before the record goes: a file in the trash never loses its record.
        m_trash.sync("sync folder", pending.file.dir(), true);
        pending.dropRecord();
        pending.moved = false;
    } else {
        reason += ", and it stays in the trash as " + Quoted(pending.trashedPath());
    }
    pending.result = failure(error, std::move(reason));
}

void TrashBatch::moveGroup()
{
    std::vector<Pending*> round;
    for (Pending& file : m_group) {
        if (file.result)
            round.push_back(&file);
    }
    for (bool flushed = true; !round.empty(); flushed = false) {
        if (!flushed)
            flush(round, {});
        std::vector<Pending*> again;
        for (Pending* file : round) {
            if (!file->result)
                continue;
            const TrashFolder& folder = file->trash->folder;
            m_trash.step("rename");
            const int error =
                RenameNoReplace(file->file.dir(), file->file.name, folder.files.get(), file->name);
            if (error != 0) {
                file->dropRecord();
                // A file of that name in files/ without a record (another program's, or one left half
                // done) is not ours to replace: the next name, recorded and flushed first.
                if (error == EEXIST && (file->result = claim(*file)))
                    again.push_back(file);
                else if (error != EEXIST)
                    file->result = failure(error, moveFailure(error, folder, file->file));
                continue;
            }
            file->moved = true;
            // The name was checked, then moved: what arrived must be what was checked.
            struct stat st = {};
            if (::fstatat(folder.files.get(), file->name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
                st.st_dev != file->file.file.st_dev || st.st_ino != file->file.file.st_ino ||
                !sameListedFile(file->file.listedSize, file->file.listedTime, st))
                putBack(*file, ESTALE, "it changed since the report");
        }
        round = std::move(again);
    }
}

std::vector<TrashResult> TrashBatch::settle()
{
    std::vector<TrashResult> results;
    for (Pending& file : m_moving) {
        if (file.result) {
            file.result.trashedPath = file.trashedPath();
            file.result.infoPath = file.trash->folder.path + "/info/" + file.infoName();
        }
        results.push_back(file.result);
    }
    m_last = std::move(m_moving);
    m_moving.clear();
    return results;
}

std::vector<TrashResult> TrashBatch::Commit()
{
    std::vector<Pending*> records;
    for (Pending& file : m_group)
        records.push_back(&file);
    std::vector<Pending*> moves;
    for (Pending& file : m_moving) {
        if (file.result)
            moves.push_back(&file);
    }
    flush(records, moves);
    std::vector<TrashResult> settled = settle();
    moveGroup();
    m_moving = std::move(m_group);
    m_group.clear();
    // Each group looks at its folders and trashes afresh.
    m_trashcans.clear();
    *m_walks = {};
    m_homeDevice.reset();
    return settled;
}

std::vector<TrashResult> TrashBatch::Finish()
{
    std::vector<Pending*> moves;
    for (Pending& file : m_moving) {
        if (file.result)
            moves.push_back(&file);
    }
    flush({}, moves);
    return settle();
}

std::vector<TrashResult> TrashBatch::Undo()
{
    std::vector<Pending*> files;
    for (std::vector<Pending>* group : {&m_last, &m_moving}) {
        for (Pending& file : *group)
            files.push_back(&file);
    }
    std::vector<TrashResult> results(files.size());
    std::map<dev_t, int> filesystems;
    for (std::size_t i = 0; i < files.size(); ++i) {
        Pending& file = *files[i];
        if (!file.result) {
            results[i] = file.result;
            continue;
        }
        const int error =
            RenameNoReplace(file.trash->folder.files.get(), file.name, file.file.dir(), file.file.name);
        if (error != 0)
            results[i] =
                failure(error, WithError("it stays in the trash as " + Quoted(file.trashedPath()), error));
        else
            filesystems.try_emplace(file.file.device(), file.file.dir());
    }
    // The files are back for good before their records go; where that is not sure, the records stay.
    std::set<dev_t> flushed;
    for (const auto& [device, folder] : filesystems) {
        if (m_trash.syncFilesystem("sync undo", folder) == 0)
            flushed.insert(device);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i]->result && results[i] && flushed.contains(files[i]->file.device()))
            files[i]->dropRecord();
    }
    m_last.clear();
    m_moving.clear();
    return results;
}
