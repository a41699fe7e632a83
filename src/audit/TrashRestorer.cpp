// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TrashRestorer.h"

#include "audit/TrashFolders.h"
#include "audit/TrashInfo.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <set>
#include <unistd.h>
#include <unordered_map>

// A trash looked in, its records read once and indexed by the absolute path they name.
struct TrashRestorer::Index
{
    struct Entry
    {
        std::string name; // in files/; the record is name + ".trashinfo" in info/
        std::string date; // DeletionDate as written
        bool taken = false;
    };
    using Entries = std::unordered_multimap<std::string, Entry>;
    TrashFolder folder;
    std::string top; // where relative paths start from; empty for the home trash
    bool read = false;
    Entries byPath;

    void readRecords();
};

// What a run of files holds until it is flushed: their folders and their records.
struct TrashRestorer::Run
{
    std::map<std::string, FolderWalk> folders; // by path
    std::vector<std::pair<Index*, std::string>> records;
    std::set<Index*> used;
    bool full = false; // a folder found no descriptor left: the run ends before the file that needed it
};

namespace {

constexpr std::string_view kSuffix = ".trashinfo";

bool sameTime(const std::string& date, const LocalDateTime& when)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (std::sscanf(date.c_str(), "%d-%d-%dT%d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6)
        return false;
    return (when.year < 100 ? y % 100 == when.year : y == when.year) && mo == when.month && d == when.day &&
           h == when.hour && mi == when.minute && s == when.second;
}

// folder (absolute) with the links of its existing part resolved; a part that does not exist is kept
// as written.
std::string canonicalFolder(const std::string& folder)
{
    for (std::size_t cut = folder.size();;) {
        const std::string prefix = cut == 0 ? "/" : folder.substr(0, cut);
        if (char* real = ::realpath(prefix.c_str(), nullptr)) {
            const std::string resolved = real;
            std::free(real);
            return resolved == "/" && cut < folder.size() ? folder.substr(cut)
                                                          : resolved + folder.substr(cut);
        }
        if (cut == 0 || (cut = folder.rfind('/', cut - 1)) == std::string::npos)
            return folder;
    }
}

} // namespace

void TrashRestorer::Index::readRecords()
{
    read = true;
    UniqueFd listing(::openat(folder.info.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* dir = listing ? ::fdopendir(listing.get()) : nullptr;
    if (!dir)
        return;
    listing.release();
    std::string text;
    char buffer[16384];
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.size() <= kSuffix.size() || !name.ends_with(kSuffix))
            continue;
        UniqueFd fd(::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        text.clear();
        // A record fits in one read; a short read of a regular file is its end.
        for (ssize_t n = sizeof buffer; fd && n == sizeof buffer && text.size() < 65536;) {
            n = ::read(fd.get(), buffer, sizeof buffer);
            if (n > 0)
                text.append(buffer, static_cast<std::size_t>(n));
        }
        const std::optional<TrashInfo> info = ParseTrashInfo(text);
        if (!info || (!info->path.starts_with('/') && top.empty()))
            continue;
        byPath.emplace(info->path.starts_with('/') ? info->path : ChildOf(top, info->path),
                       Entry{std::string(name.substr(0, name.size() - kSuffix.size())), info->deletionDate});
    }
    ::closedir(dir);
}

TrashRestorer::TrashRestorer(const Trash& trash) : m_trash(trash) {}

TrashRestorer::~TrashRestorer() = default;

TrashRestorer::Index* TrashRestorer::trashAt(const std::string& path, UniqueFd trash, const std::string& top)
{
    auto [it, added] = m_trashes.try_emplace(path);
    if (added) {
        auto index = std::make_unique<Index>();
        index->folder.path = path;
        index->top = top;
        // A trash at a top directory that is not the user's own could hand anything back.
        if (trash && (top.empty() || OwnedFolder(trash.get(), m_trash.uid())) &&
            OpenTrashSubfolders(std::move(trash), index->folder, false) == 0)
            it->second = std::move(index);
    }
    return it->second.get();
}

const std::vector<TrashRestorer::Index*>& TrashRestorer::trashesFor(const std::string& folder)
{
    auto [it, added] = m_trashesOfFolder.try_emplace(folder);
    if (!added)
        return it->second;
    const std::string& home = m_trash.homeTrash();
    it->second.push_back(trashAt(home, UniqueFd(::open(home.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)), {}));
    const std::vector<std::string> parts = SplitPath(folder);
    const FolderWalk walk = WalkFolders(parts, parts.size());
    if (walk.top) {
        const std::string top = JoinParts(parts, 0, walk.topDepth, true);
        const std::string user = std::to_string(m_trash.uid());
        it->second.push_back(
            trashAt(ChildOf(top, ".Trash/" + user), OpenSharedTrash(walk.top.get(), user, false), top));
        it->second.push_back(trashAt(ChildOf(top, ".Trash-" + user),
                                     OpenFolder(walk.top.get(), ".Trash-" + user, false), top));
    }
    return it->second;
}

RestoreResult TrashRestorer::restoreOne(const TrashedFile& file, Run& run)
{
    RestoreResult result;
    const auto refuse = [&](RestoreStatus status, std::string reason) {
        result.status = status;
        result.reason = std::move(reason);
        return result;
    };
    const std::string folder = FolderOf(file.path);
    auto [known, added] = m_canonical.try_emplace(folder);
    if (added)
        known->second = canonicalFolder(folder);
    const std::string resolved = ChildOf(known->second, file.path.substr(file.path.rfind('/') + 1));

    Index* index = nullptr;
    Index::Entries::iterator found;
    bool exact = false;
    for (Index* trash : trashesFor(known->second)) {
        if (!trash || exact)
            continue;
        if (!trash->read)
            trash->readRecords();
        for (const std::string& key : {file.path, resolved}) {
            for (auto [at, last] = trash->byPath.equal_range(key); at != last && !exact; ++at) {
                struct stat st = {};
                if (at->second.taken || !sameTime(at->second.date, file.deletedAt) ||
                    ::fstatat(trash->folder.files.get(), at->second.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) !=
                        0)
                    continue;
                exact = trash->folder.path + "/files/" + at->second.name == file.trashedPath;
                if (!index || exact) {
                    index = trash;
                    found = at;
                }
            }
        }
    }
    if (!index)
        return refuse(
            RestoreStatus::NotInTrash,
            "it is no longer in the trash: the trash was emptied, or it was restored by another program");

    // Back into the folder the record names, reached without a link, as the file left it.
    const std::string& original = found->first;
    auto [place, opened] = run.folders.try_emplace(FolderOf(original));
    if (opened) {
        const std::vector<std::string> parts = SplitPath(place->first);
        place->second = WalkFolders(parts, parts.size());
        // The folders this run holds open took the descriptors: once they are flushed and closed, the
        // file starts the next run.
        const int error = place->second.error;
        if ((error == EMFILE || error == ENFILE) && run.folders.size() > 1) {
            run.folders.erase(place);
            run.full = true;
            return result;
        }
    }
    if (const int error = place->second.error) {
        if (error == ENOENT)
            return refuse(RestoreStatus::FolderGone,
                          "the folder " + Quoted(folder) + " no longer exists, and it is not made again");
        return refuse(RestoreStatus::Failed, WalkFailure(error, folder));
    }
    m_trash.step("restore");
    const int error = RenameNoReplace(index->folder.files.get(), found->second.name, place->second.dir.get(),
                                      original.substr(original.rfind('/') + 1));
    if (error == EEXIST)
        return refuse(RestoreStatus::NameTaken, "another file of that name stands in its place");
    if (error == EACCES || error == EPERM)
        return refuse(RestoreStatus::Failed,
                      WithError("the folder " + Quoted(folder) + " does not let it back in", error));
    if (error != 0)
        return refuse(RestoreStatus::Failed,
                      WithError("it cannot be moved back from " + Quoted(index->folder.path), error));
    found->second.taken = true;
    run.records.emplace_back(index, found->second.name + std::string(kSuffix));
    run.used.insert(index);
    result.status = RestoreStatus::Restored;
    return result;
}

std::vector<RestoreResult> TrashRestorer::Restore(const std::vector<TrashedFile>& files,
                                                  const std::function<bool()>& stopRequested,
                                                  const Settled& settled)
{
    // A run is as many files as are moved before their folders are flushed and their records removed
    // together: few flushes for many files, a bounded number of folders held open, and news of the
    // run a few times a second.
    constexpr std::size_t kRunFolders = 256;
    constexpr std::chrono::milliseconds kRunTime{100};
    m_trashes.clear();
    m_canonical.clear();
    m_trashesOfFolder.clear();
    std::vector<RestoreResult> results(files.size());
    bool stopped = false;
    for (std::size_t first = 0; first < files.size() && !stopped;) {
        Run run;
        std::size_t end = first;
        const auto until = std::chrono::steady_clock::now() + kRunTime;
        for (; end < files.size() && run.folders.size() < kRunFolders &&
               (end == first || std::chrono::steady_clock::now() < until);
             ++end) {
            if (stopRequested && stopRequested()) {
                stopped = true;
                break;
            }
            RestoreResult result = restoreOne(files[end], run);
            if (run.full)
                break;
            results[end] = std::move(result);
        }
        if (end == first)
            break;
        // The files are back for good before their records go: a crash in between leaves a record
        // without its file, never a file without its record or in two places. A run of one file
        // flushes the folders it touched, a larger one each filesystem once.
        std::map<dev_t, int> filesystems;
        for (const auto& [path, folder] : run.folders) {
            if (folder.dir)
                filesystems.try_emplace(folder.device, folder.dir.get());
        }
        const bool single = end - first == 1;
        if (single) {
            for (const auto& [device, folder] : filesystems)
                m_trash.sync("sync folder", folder, true);
            for (Index* trash : run.used)
                m_trash.sync("sync files", trash->folder.files.get(), true);
        } else {
            for (const auto& [device, folder] : filesystems)
                m_trash.syncFilesystem("sync restores", folder);
        }
        m_trash.step("remove records");
        for (const auto& [trash, record] : run.records)
            ::unlinkat(trash->folder.info.get(), record.c_str(), 0);
        if (single) {
            for (Index* trash : run.used)
                m_trash.sync("sync info", trash->folder.info.get(), true);
        } else {
            for (const auto& [device, folder] : filesystems)
                m_trash.syncFilesystem("sync removals", folder);
        }
        if (settled)
            settled(first, end, results);
        first = end;
    }
    return results;
}
