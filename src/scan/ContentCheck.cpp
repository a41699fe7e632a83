// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ContentCheck.h"

#include "scan/DescriptorTurns.h"
#include "scan/DirectoryCursor.h"
#include "scan/TableTree.h"
#include "scan/ThreadStart.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <xxhash.h>
#if defined(__x86_64__) || defined(__i386__)
// The library picks the widest vector instructions the processor has (SSE2 otherwise).
#include <xxh_x86dispatch.h>
#endif

std::string ContentClasses::text(int row) const
{
    if (row < 0 || row >= static_cast<int>(ofRow.size()) || ofRow[row] == kNoCopy)
        return {};
    return ofRow[row] == kUnknown ? "?" : "=" + std::to_string(ofRow[row]);
}

std::string ContentClasses::outcomeText() const
{
    return (stopped ? "Compare Stopped: " : "Contents Compared: ") + std::to_string(copies) + " Copies in " +
           std::to_string(groups) + " Groups";
}

namespace {

constexpr std::int64_t kPrefix = 4096;
// Files read at the same time when the caller leaves it to the check. Reads of the first 4 KiB are
// short and mostly wait for the disk, so many at once keep a disk's queue full; whole files are read
// as a few streams at once, which solid-state and network disks serve much faster than one.
constexpr unsigned kPrefixReaders = 16;
constexpr unsigned kWholeReaders = 4;
// Rows a reader of the first pass takes at a time: neighbours, mostly of one directory.
constexpr size_t kChunk = 64;
// Large enough for the disk to stream and the kernel to read ahead, small enough that a stop is seen
// within a tenth of a second even where the disk delivers 20 MB/s.
constexpr std::int64_t kBlock = 1 << 20;

enum class Stage : std::uint8_t
{
    Unread,
    Failed,
    Prefix,    // the first 4 KiB of a larger file are hashed
    NeedsRest, // and equal another's: the rest must be read
    Known,     // the content is known: whole file hashed, or no other file can share it
};

// A file whose size has a twin in its group. Candidates are kept by group, then by size, then in
// row order; a bucket is the run of one size in one group.
struct Candidate
{
    std::int32_t row = 0;
    Stage stage = Stage::Unread;
    bool groupStart = false;
    bool bucketStart = false;
    std::uint64_t stamp = 0; // Stamp() when the first 4 KiB were read
    FileId id;
    XXH128_hash_t prefix{};
    XXH128_hash_t rest{}; // bytes 4096 to the end
};

// A row to look at, with its candidate or -1.
struct Visit
{
    std::uint32_t directory;
    std::int32_t row;
    std::int32_t candidate;
};

// Changes whenever the file's status or content changes: the status change time, and the
// modification time for filesystems whose "change time" is the creation time (FAT).
std::uint64_t Stamp(const struct stat& st)
{
    const auto ns = [](const timespec& t) { return std::uint64_t(t.tv_sec) * 1000000000u + t.tv_nsec; };
    return ns(st.st_ctim) * 1000003u + ns(st.st_mtim);
}

bool MatchesRow(const struct stat& st, const entrytype& e)
{
    return S_ISREG(st.st_mode) && st.st_size == e.size && st.st_mtim.tv_sec == e.time;
}

bool SameHash(const XXH128_hash_t& a, const XXH128_hash_t& b)
{
    return a.high64 == b.high64 && a.low64 == b.low64;
}

bool HashBefore(const XXH128_hash_t& a, const XXH128_hash_t& b)
{
    return a.high64 != b.high64 ? a.high64 < b.high64 : a.low64 < b.low64;
}

// Opens name inside dir, never through a link and without waiting for whatever may have taken the
// file's place (a FIFO without a writer, a device); MatchesRow sees to its type before it is read.
int OpenAt(int dir, const std::string& name, struct stat& st)
{
    const int fd =
        dir < 0 ? -1 : ::openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0 && ::fstat(fd, &st) != 0)
        st.st_mode = 0;
    return fd;
}

// Reads length bytes from offset; false when the file ends before or cannot be read.
bool ReadFully(int fd, char* buffer, std::int64_t length, std::int64_t offset)
{
    while (length > 0) {
        const ssize_t got = ::pread(fd, buffer, static_cast<size_t>(length), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        buffer += got;
        offset += got;
        length -= got;
    }
    return true;
}

// Runs work on n threads and calls tick on the calling thread about four times a second until every
// one has ended. Where no thread can be started, the calling thread does the work itself.
void RunWorkers(unsigned n, const std::function<void()>& work, const std::function<void()>& tick)
{
    std::mutex mutex;
    std::condition_variable ended;
    unsigned running = 0;
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < n; ++i) {
        std::thread t;
        {
            const std::lock_guard lock(mutex);
            ++running;
        }
        const auto body = [&] {
            work();
            const std::lock_guard lock(mutex);
            --running;
            ended.notify_one();
        };
        if (!TryStartThread(t, body)) {
            const std::lock_guard lock(mutex);
            --running;
            break;
        }
        threads.push_back(std::move(t));
    }
    if (threads.empty())
        work();
    std::unique_lock lock(mutex);
    while (!ended.wait_for(lock, std::chrono::milliseconds(250), [&] { return running == 0; })) {
        lock.unlock();
        tick();
        lock.lock();
    }
    lock.unlock();
    for (std::thread& t : threads)
        t.join();
}

class Check
{
public:
    Check(const ResultTable& table, unsigned threads, const std::atomic<bool>* stop,
          const std::function<void(int)>& beforeWholeRead)
        : m_table(table), m_tree{table}, m_prefixReaders(threads ? threads : kPrefixReaders),
          m_wholeReaders(threads ? threads : kWholeReaders), m_stop(stop), m_beforeWholeRead(beforeWholeRead)
    {}

    ContentClasses run(const ContentProgress& progress);

private:
    const entrytype& entryOf(int row) const { return m_table.EntryTable[m_table.rowEntry(row)]; }
    bool stopped() const { return m_stop && m_stop->load(std::memory_order_relaxed); }

    void plan();
    int openDirectory(DirectoryCursor<TableTree>& cursor, std::uint32_t directory);
    int openFile(DirectoryCursor<TableTree>& cursor, const entrytype& e, struct stat& st);
    void visit(const Visit& v, DirectoryCursor<TableTree>& cursor, char* buffer);
    void markRests();
    void readRest(size_t run, DirectoryCursor<TableTree>& cursor, char* buffer);
    bool hashRest(int fd, std::int64_t size, XXH128_hash_t& hash, char* buffer);
    void classify(ContentClasses& result);

    const ResultTable& m_table;
    const TableTree m_tree;
    const unsigned m_prefixReaders;
    const unsigned m_wholeReaders;
    const std::atomic<bool>* m_stop;
    const std::function<void(int)>& m_beforeWholeRead;

    std::vector<std::int32_t> m_classes;
    std::vector<Candidate> m_candidates;
    std::vector<Visit> m_visits;
    // Candidates whose rest is read, by file identity; m_runs: the runs of one file in it, begin
    // and end, in the order they are read.
    std::vector<std::int32_t> m_reads;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_runs;
    std::atomic<size_t> m_next{0};
    std::atomic<std::int64_t> m_done{0};
    std::atomic<std::int64_t> m_total{0};
    DescriptorTurns m_turns;
};

// A reader counts as holding descriptors while it lives; its cursor, made after it, closes them
// before it goes.
class Holding
{
public:
    explicit Holding(DescriptorTurns& turns) : m_turns(turns) { m_turns.hold(); }
    ~Holding() { m_turns.release(); }
    Holding(const Holding&) = delete;
    Holding& operator=(const Holding&) = delete;

private:
    DescriptorTurns& m_turns;
};

// Finds the size twins of every group and the order in which the rows are visited: by directory, so
// that each directory is reached once from the one before. A stop leaves the rest of the rows
// unknown.
void Check::plan()
{
    const int last = m_table.LastRow();
    m_classes.assign(last + 1, ContentClasses::kNoCopy);
    std::vector<std::pair<std::int64_t, std::int32_t>> group; // size, row
    for (int first = 0; first <= last;) {
        if (stopped()) {
            for (int row = first; row <= last; ++row) {
                if (!m_table.isSeparator(row) && !m_table.DeletedFlags[row])
                    m_classes[row] = ContentClasses::kUnknown;
            }
            return;
        }
        int end = first;
        group.clear();
        for (; end <= last && !m_table.isSeparator(end); ++end) {
            if (!m_table.DeletedFlags[end])
                group.emplace_back(entryOf(end).size, end);
        }
        std::sort(group.begin(), group.end());
        bool groupStart = true;
        for (size_t i = 0; i < group.size();) {
            size_t j = i + 1;
            while (j < group.size() && group[j].first == group[i].first)
                ++j;
            for (size_t k = i; k < j; ++k) {
                const auto [size, row] = group[k];
                m_classes[row] = ContentClasses::kUnknown;
                if (j - i < 2) {
                    m_visits.push_back({entryOf(row).directory, row, -1});
                    continue;
                }
                m_visits.push_back(
                    {entryOf(row).directory, row, static_cast<std::int32_t>(m_candidates.size())});
                Candidate& c = m_candidates.emplace_back();
                c.row = row;
                c.groupStart = groupStart;
                c.bucketStart = k == i;
                groupStart = false;
                m_total += std::min(size, kPrefix) + std::max<std::int64_t>(size - kPrefix, 0);
            }
            i = j;
        }
        first = end + 1;
    }
    std::sort(m_visits.begin(), m_visits.end(), [](const Visit& a, const Visit& b) {
        return a.directory != b.directory ? a.directory < b.directory : a.row < b.row;
    });
}

// Short of descriptors, the directory or the file is opened again on a turn of its own, with every
// descriptor the readers had: a file is never taken for unreadable for want of one.
int Check::openDirectory(DirectoryCursor<TableTree>& cursor, std::uint32_t directory)
{
    return m_turns.openWithTurn(cursor, [&] { return cursor.open(directory); });
}

int Check::openFile(DirectoryCursor<TableTree>& cursor, const entrytype& e, struct stat& st)
{
    const auto attempt = [&] {
        const int dir = cursor.open(e.directory);
        int fd = OpenAt(dir, e.name, st);
        if (fd < 0 && OutOfDescriptors(errno) && cursor.shed() > 0)
            fd = OpenAt(dir, e.name, st);
        return fd;
    };
    return m_turns.openWithTurn(cursor, attempt);
}

void Check::visit(const Visit& v, DirectoryCursor<TableTree>& cursor, char* buffer)
{
    const entrytype& e = entryOf(v.row);
    struct stat st = {};
    if (v.candidate < 0) {
        const int dir = openDirectory(cursor, e.directory);
        const bool same =
            dir >= 0 && ::fstatat(dir, e.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && MatchesRow(st, e);
        m_classes[v.row] = same ? ContentClasses::kNoCopy : ContentClasses::kUnknown;
        return;
    }
    Candidate& c = m_candidates[v.candidate];
    c.stage = Stage::Failed;
    const std::int64_t length = std::min(e.size, kPrefix);
    const int fd = openFile(cursor, e, st);
    bool read = false;
    if (fd >= 0 && MatchesRow(st, e)) {
        c.id = {st.st_dev, st.st_ino};
        c.stamp = Stamp(st);
        read = ReadFully(fd, buffer, length, 0);
        // A larger file that changes now is caught before its rest is read, and one read no further
        // is alone in its class whatever it held.
        if (read &&
            (e.size > kPrefix || (::fstat(fd, &st) == 0 && st.st_size == e.size && Stamp(st) == c.stamp))) {
            c.prefix = XXH3_128bits(buffer, static_cast<size_t>(length));
            c.stage = e.size > kPrefix ? Stage::Prefix : Stage::Known;
        }
    }
    if (fd >= 0)
        ::close(fd);
    if (read)
        m_done += length;
    else
        m_total -= length; // now never read
}

// A larger file needs its rest read when another of its bucket has the same first 4 KiB; one whose
// first 4 KiB are its own is known to be unlike every other. The names of one file (hard links) are
// brought together, so that it is read once.
void Check::markRests()
{
    std::vector<std::int32_t> bucket;
    for (size_t i = 0; i < m_candidates.size();) {
        size_t end = i + 1;
        while (end < m_candidates.size() && !m_candidates[end].bucketStart)
            ++end;
        bucket.clear();
        for (size_t k = i; k < end; ++k) {
            if (m_candidates[k].stage == Stage::Prefix)
                bucket.push_back(static_cast<std::int32_t>(k));
        }
        std::sort(bucket.begin(), bucket.end(), [this](std::int32_t a, std::int32_t b) {
            return HashBefore(m_candidates[a].prefix, m_candidates[b].prefix);
        });
        for (size_t k = 0; k < bucket.size(); ++k) {
            Candidate& c = m_candidates[bucket[k]];
            const bool twin =
                (k > 0 && SameHash(m_candidates[bucket[k - 1]].prefix, c.prefix)) ||
                (k + 1 < bucket.size() && SameHash(m_candidates[bucket[k + 1]].prefix, c.prefix));
            c.stage = twin ? Stage::NeedsRest : Stage::Known;
            if (twin)
                m_reads.push_back(bucket[k]);
        }
        i = end;
    }
    std::sort(m_reads.begin(), m_reads.end(), [this](std::int32_t a, std::int32_t b) {
        const FileId& x = m_candidates[a].id;
        const FileId& y = m_candidates[b].id;
        return x.device != y.device ? x.device < y.device : x.inode != y.inode ? x.inode < y.inode : a < b;
    });
    std::int64_t rest = 0;
    for (std::uint32_t k = 0; k < m_reads.size(); ++k) {
        if (k == 0 || !(m_candidates[m_reads[k]].id == m_candidates[m_reads[k - 1]].id)) {
            m_runs.emplace_back(k, k);
            rest += entryOf(m_candidates[m_reads[k]].row).size - kPrefix;
        }
        m_runs.back().second = k + 1;
    }
    m_total = m_done + rest;
    // Directory by directory, so that each is reached once; directories in the order of their inodes
    // and the files of one in the order of theirs: on most filesystems close to their order on disk.
    const auto place = [this](const std::pair<std::uint32_t, std::uint32_t>& run) {
        const Candidate& c = m_candidates[m_reads[run.first]];
        const std::uint32_t directory = entryOf(c.row).directory;
        const DirectoryId& d = m_table.directory(directory).id;
        return std::tuple(d.device, d.inode, directory, c.id.inode);
    };
    std::sort(m_runs.begin(), m_runs.end(),
              [&](const auto& a, const auto& b) { return place(a) < place(b); });
}

bool Check::hashRest(int fd, std::int64_t size, XXH128_hash_t& hash, char* buffer)
{
    XXH3_state_t* state = XXH3_createState();
    if (!state)
        return false;
    XXH3_128bits_reset(state);
    std::int64_t offset = kPrefix;
    while (offset < size && !stopped()) {
        const std::int64_t length = std::min(kBlock, size - offset);
        if (!ReadFully(fd, buffer, length, offset))
            break;
        XXH3_128bits_update(state, buffer, static_cast<size_t>(length));
        m_done += length;
        offset += length;
    }
    hash = XXH3_128bits_digest(state);
    XXH3_freeState(state);
    m_total -= size - offset; // what was not read, now never will be
    return offset == size;
}

// Reads the rest of one file, the first of a run of names of it, and gives the hash to every name of
// the run that still leads to the same file.
void Check::readRest(size_t run, DirectoryCursor<TableTree>& cursor, char* buffer)
{
    const auto [begin, end] = m_runs[run];
    Candidate& first = m_candidates[m_reads[begin]];
    const entrytype& e = entryOf(first.row);
    struct stat st = {};
    const int fd = openFile(cursor, e, st);
    const auto unchanged = [&first](const struct stat& s) {
        return FileId{s.st_dev, s.st_ino} == first.id && Stamp(s) == first.stamp;
    };
    bool known = fd >= 0 && MatchesRow(st, e) && unchanged(st);
    if (known) {
        if (m_beforeWholeRead)
            m_beforeWholeRead(first.row);
        if (e.size - kPrefix > kBlock)
            ::posix_fadvise(fd, kPrefix, 0, POSIX_FADV_SEQUENTIAL);
        known = hashRest(fd, e.size, first.rest, buffer) && ::fstat(fd, &st) == 0 && MatchesRow(st, e) &&
                unchanged(st);
    } else {
        m_total -= e.size - kPrefix;
    }
    if (fd >= 0)
        ::close(fd);
    first.stage = known ? Stage::Known : Stage::Failed;
    for (size_t k = begin + 1; k < end; ++k) {
        Candidate& other = m_candidates[m_reads[k]];
        const entrytype& o = entryOf(other.row);
        const int otherDir = openDirectory(cursor, o.directory);
        const bool same = known && otherDir >= 0 &&
                          ::fstatat(otherDir, o.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                          MatchesRow(st, o) && unchanged(st);
        other.stage = same ? Stage::Known : Stage::Failed;
        other.rest = first.rest;
    }
}

// Gives each file of known content its class: within a bucket, files with the same hashes are one
// class; a group numbers its classes in the order of its rows.
void Check::classify(ContentClasses& result)
{
    std::vector<std::int32_t> bucket;
    std::vector<std::pair<std::int32_t, std::int32_t>> members; // first row of the class, row
    for (size_t g = 0; g < m_candidates.size();) {
        members.clear();
        size_t i = g;
        do {
            size_t end = i + 1;
            while (end < m_candidates.size() && !m_candidates[end].bucketStart)
                ++end;
            bucket.clear();
            for (size_t k = i; k < end; ++k) {
                Candidate& c = m_candidates[k];
                m_classes[c.row] =
                    c.stage == Stage::Known ? ContentClasses::kNoCopy : ContentClasses::kUnknown;
                if (c.stage == Stage::Known)
                    bucket.push_back(static_cast<std::int32_t>(k));
            }
            // Stable: a class's files stay in row order, so its first is its first row.
            std::stable_sort(bucket.begin(), bucket.end(), [this](std::int32_t a, std::int32_t b) {
                const Candidate& x = m_candidates[a];
                const Candidate& y = m_candidates[b];
                return SameHash(x.prefix, y.prefix) ? HashBefore(x.rest, y.rest)
                                                    : HashBefore(x.prefix, y.prefix);
            });
            for (size_t k = 0; k < bucket.size();) {
                const Candidate& c = m_candidates[bucket[k]];
                size_t same = k + 1;
                while (same < bucket.size() && SameHash(m_candidates[bucket[same]].prefix, c.prefix) &&
                       SameHash(m_candidates[bucket[same]].rest, c.rest))
                    ++same;
                if (same - k >= 2) {
                    for (size_t m = k; m < same; ++m)
                        members.emplace_back(c.row, m_candidates[bucket[m]].row);
                    result.copies += static_cast<std::int64_t>(same - k) - 1;
                }
                k = same;
            }
            i = end;
        } while (i < m_candidates.size() && !m_candidates[i].groupStart);
        std::sort(members.begin(), members.end());
        std::int32_t number = 0;
        for (size_t m = 0; m < members.size(); ++m) {
            if (m == 0 || members[m].first != members[m - 1].first)
                ++number;
            m_classes[members[m].second] = number;
        }
        result.groups += number > 0 ? 1 : 0;
        g = i;
    }
}

ContentClasses Check::run(const ContentProgress& progress)
{
    plan();
    const auto tick = [&] {
        if (progress)
            progress(m_done, m_total);
    };
    tick();

    const auto firstPass = [&, budget = DescriptorBudget(m_prefixReaders)] {
        const Holding holding(m_turns);
        DirectoryCursor<TableTree> cursor(m_tree, budget);
        char buffer[kPrefix];
        for (size_t begin; (begin = m_next.fetch_add(kChunk)) < m_visits.size();) {
            for (size_t i = begin; i < std::min(begin + kChunk, m_visits.size()); ++i) {
                if (stopped())
                    return;
                m_turns.giveWay(cursor);
                visit(m_visits[i], cursor, buffer);
            }
        }
    };
    RunWorkers(std::min<size_t>(m_prefixReaders, m_visits.size() / kChunk + 1), firstPass, tick);
    markRests();

    m_next = 0;
    const auto secondPass = [&, budget = DescriptorBudget(m_wholeReaders)] {
        const Holding holding(m_turns);
        DirectoryCursor<TableTree> cursor(m_tree, budget);
        const auto buffer = std::make_unique<char[]>(kBlock);
        for (size_t run; !stopped() && (run = m_next.fetch_add(1)) < m_runs.size();) {
            m_turns.giveWay(cursor);
            readRest(run, cursor, buffer.get());
        }
    };
    if (!stopped())
        RunWorkers(std::min<size_t>(m_wholeReaders, m_runs.size()), secondPass, tick);
    tick();

    ContentClasses result;
    result.stopped = stopped();
    classify(result);
    result.ofRow = std::move(m_classes);
    return result;
}

} // namespace

ContentClasses ContentCheck::run(const ResultTable& table, const ContentProgress& progress,
                                 const std::atomic<bool>* stop)
{
    return Check(table, m_threads, stop, beforeWholeRead).run(progress);
}
