// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanDirectory.h"

#include "scan/DescriptorTurns.h"
#include "scan/DirectoryCursor.h"
#include "scan/ThreadStart.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProgressInterval = std::chrono::milliseconds(250);
constexpr auto kGrowInterval = std::chrono::milliseconds(100);

// Walker threads at most when asked for a number, and when more are started on their own because
// the disk keeps them waiting.
constexpr unsigned kMaxWorkers = 64;
constexpr unsigned kMaxAutomaticWorkers = 32;

// Entries of one directory examined between two looks at the stop flag: a few milliseconds of work
// when every file is measured.
constexpr size_t kStopCheckInterval = 1024;

// A file kept by the walk; its name lives in the directory's name buffer.
struct FoundFile
{
    std::uint32_t nameOffset = 0;
    std::uint32_t nameLength = 0;
    std::int64_t size = 0;
    std::int64_t time = 0;
    bool measured = false;
};

// One directory of the tree. The walk reads directories on several threads in any order; the tree
// of nodes keeps the pre-order that the table must get. A node knows its parent and its own name
// only, so a tree of any depth costs memory in proportion to its directories.
struct Node
{
    Node* parent = nullptr;
    std::string name; // the root's is its path
    std::uint32_t depth = 0;
    std::uint32_t order = 0; // place in pre-order, while the tree is flattened
    bool skip = false;       // met before: left out with its tree
    int error = 0;           // why it could not be read (errno), 0 when it could
    FileId id;               // known once the directory was opened
    std::string names;       // the names of the kept files, one after the other
    std::vector<FoundFile> files;
    std::vector<Node*> children;
};

struct NodeTree
{
    using Handle = const Node*;
    static constexpr Handle kNone = nullptr;
    Handle parent(Handle h) const { return h->parent; }
    std::uint32_t depth(Handle h) const { return h->depth; }
    const std::string& name(Handle h) const { return h->name; }
    FileId identity(Handle h) const { return h->id; }
};
constexpr NodeTree kNodeTree;

struct RawEntry
{
    size_t offset;
    size_t length;
    unsigned char type;
};

// A walker thread's share: the directories it found and has not read yet (it takes the newest,
// others take the oldest when they run out), and the nodes it made.
struct Worker
{
    std::mutex lock;
    std::deque<Node*> queue;

    // Only the owner makes nodes; they stay where they are until the walk is over.
    Node& makeNode()
    {
        constexpr size_t kBlock = 1024;
        if (m_used == kBlock || m_blocks.empty()) {
            m_blocks.push_back(std::make_unique<Node[]>(kBlock));
            m_used = 0;
        }
        return m_blocks.back()[m_used++];
    }
    void releaseNodes() { m_blocks.clear(); }

private:
    std::vector<std::unique_ptr<Node[]>> m_blocks;
    size_t m_used = 0;
};

// Bytes this process has had read from storage so far (the directories and inodes a cold cache
// lacks), or 0 when the system does not say.
std::uint64_t StorageBytesRead()
{
    const int fd = ::open("/proc/self/io", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char text[512];
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0)
        return 0;
    text[n] = '\0';
    const char* at = std::strstr(text, "\nread_bytes: ");
    return at ? std::strtoull(at + 13, nullptr, 10) : 0;
}

std::uint64_t CpuMicroseconds()
{
    rusage usage = {};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto us = [](const timeval& t) {
        return std::uint64_t(t.tv_sec) * 1000000 + std::uint64_t(t.tv_usec);
    };
    return us(usage.ru_utime) + us(usage.ru_stime);
}

class Walk
{
public:
    Walk(const std::string& root, const ScanOptions& options)
        : m_options(options), m_automatic(options.threads == 0),
          m_maxWorkers(m_automatic ? kMaxAutomaticWorkers : std::min(options.threads, kMaxWorkers)),
          m_descriptorBudget(DescriptorBudget(m_maxWorkers))
    {
        m_root.name = root;
        for (auto& w : m_workers)
            w = std::make_unique<Worker>();
        m_workers[0]->queue.push_back(&m_root);
        m_queued = 1;
        m_pending = 1;
    }

    void run()
    {
        m_started = Clock::now();
        m_lastGrow = m_lastProgress = m_started;
        m_lastCpu = CpuMicroseconds();
        m_lastRead = StorageBytesRead();
        startWorkers(WorkerThreads(m_options.threads));
        work(0);
        for (std::thread& t : m_threads)
            t.join();
        if (m_options.threadsUsed)
            *m_options.threadsUsed = m_workerCount;
    }

    // Appends the found files to the table in pre-order, with their directories and the
    // directories' ancestors, and the folders that could not be read to options.unreadable, and
    // releases the tree. A directory met twice (moved during the walk) keeps its first place. The
    // threads share the work: every directory's first slot in the table is known before any entry is
    // written.
    void flatten(ResultTable& table)
    {
        // A directory met twice (moved during the walk, or met by an earlier walk of the run) keeps
        // its first place in pre-order; the later one is left out with its tree.
        std::vector<std::pair<FileId, Node*>> ids;
        std::vector<Node*> stack{&m_root};
        while (!stack.empty()) {
            Node* node = stack.back();
            stack.pop_back();
            if (node->id == FileId{})
                continue; // never opened
            ids.emplace_back(node->id, node);
            stack.insert(stack.end(), node->children.rbegin(), node->children.rend());
        }
        const auto byId = [](const FileId& a, const FileId& b) {
            return std::tie(a.device, a.inode) < std::tie(b.device, b.inode);
        };
        std::vector<FileId>* walked = m_options.walkedDirectories;
        for (size_t i = 0; i < ids.size(); ++i) {
            ids[i].second->order = static_cast<std::uint32_t>(i);
            ids[i].second->skip =
                walked && std::binary_search(walked->begin(), walked->end(), ids[i].first, byId);
        }
        std::sort(ids.begin(), ids.end(), [&](const auto& a, const auto& b) {
            return byId(a.first, b.first) || (a.first == b.first && a.second->order < b.second->order);
        });
        for (size_t i = 1; i < ids.size(); ++i) {
            if (ids[i].first == ids[i - 1].first)
                ids[i].second->skip = true;
        }
        if (walked) {
            const size_t before = walked->size();
            for (const auto& [id, node] : ids)
                walked->push_back(id);
            std::inplace_merge(walked->begin(), walked->begin() + static_cast<std::ptrdiff_t>(before),
                               walked->end(), byId);
        }
        ids = {};

        struct Placed
        {
            Node* node;
            std::uint32_t directory;
        };
        std::vector<Placed> order;
        std::vector<std::pair<Node*, std::uint32_t>> placing{{&m_root, DirectoryRecord::kNoParent}};
        while (!placing.empty()) {
            auto [node, parent] = placing.back();
            placing.pop_back();
            if (node->error && m_options.unreadable) {
                m_options.unreadable->add(parent == DirectoryRecord::kNoParent
                                              ? node->name
                                              : table.directoryPath(parent) + node->name + '/',
                                          node->error);
            }
            if (node->id == FileId{} || node->skip)
                continue;
            const std::uint32_t directory = parent == DirectoryRecord::kNoParent
                                                ? table.addDirectory(std::move(node->name), node->id)
                                                : table.addDirectory(parent, std::move(node->name), node->id);
            order.push_back({node, directory});
            for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
                placing.emplace_back(*it, directory);
        }

        std::vector<size_t> first(order.size() + 1);
        const size_t base = table.EntryTable.size();
        first[0] = base;
        for (size_t i = 0; i < order.size(); ++i)
            first[i + 1] = first[i] + order[i].node->files.size();
        table.EntryTable.resize(first.back());

        const bool keyed = m_options.mode == ScanMode::Duplicates;
        const auto fill = [&](size_t from, size_t to) {
            for (size_t i = from; i < to; ++i) {
                Node& node = *order[i].node;
                entrytype* out = table.EntryTable.data() + first[i]; // may be the end: no files
                for (const FoundFile& f : node.files) {
                    out->name.assign(node.names.data() + f.nameOffset, f.nameLength);
                    if (keyed)
                        out->key = NameKey(out->name);
                    out->size = f.size;
                    out->time = f.time;
                    out->measured = f.measured;
                    out->directory = order[i].directory;
                    ++out;
                }
                node.files = {};
                node.names = {};
            }
        };
        // Split the directories where about half of the entries lie.
        const size_t total = first.back() - base;
        size_t split = order.size();
        if (WorkerThreads(m_options.threads) > 1 && total > 10000)
            split = std::upper_bound(first.begin(), first.end() - 1, base + total / 2) - first.begin();
        std::thread helper;
        if (split < order.size() && !TryStartThread(helper, fill, split, order.size()))
            split = order.size();
        fill(0, split);
        if (helper.joinable())
            helper.join();
        for (auto& w : m_workers)
            w->releaseNodes();
    }

    std::int64_t filesExamined() const { return m_examined.load(std::memory_order_relaxed); }

private:
    // Starts helpers until there are count walkers in all; when the system refuses a thread, the
    // walk goes on with those it has, down to the calling thread alone.
    void startWorkers(unsigned count)
    {
        count = std::min(count, m_maxWorkers);
        while (m_workerCount < count) {
            const unsigned index = m_workerCount;
            std::thread t;
            if (!TryStartThread(t, [this, index] { work(index); })) {
                m_growthRefused = true;
                return;
            }
            m_threads.push_back(std::move(t));
            m_workerCount = index + 1;
        }
    }

    void work(unsigned index)
    {
        DirectoryCursor<NodeTree> cursor(kNodeTree, m_descriptorBudget);
        std::vector<char> buffer(64 * 1024);
        std::vector<std::string> subdirectories;
        Node* next = nullptr;
        m_turns.hold();
        for (;;) {
            if (index == 0)
                tend();
            m_turns.giveWay(cursor);
            Node* node = next ? next : take(index);
            if (!node) {
                if (m_pending.load() == 0)
                    break;
                waitForWork(index, cursor);
                continue;
            }
            subdirectories.clear();
            read(*node, cursor, buffer, subdirectories);
            next = addChildren(index, *node, subdirectories);
            if (m_pending.fetch_sub(1) == 1) {
                std::lock_guard lock(m_idleMutex);
                m_idle.notify_all();
            }
        }
        cursor.release();
        m_turns.release();
    }

    // The calling thread's duties between two directories: progress, and more walkers while the
    // disk is being read or the walkers there mostly wait.
    void tend()
    {
        const auto now = Clock::now();
        if (m_options.progress && now - m_lastProgress >= kProgressInterval) {
            m_options.progress(filesExamined());
            m_lastProgress = Clock::now();
        }
        if (!m_automatic || m_growthRefused || m_workerCount >= m_maxWorkers ||
            now - m_lastGrow < kGrowInterval)
            return;
        const std::uint64_t cpu = CpuMicroseconds();
        const std::uint64_t read = StorageBytesRead();
        const double wall = std::chrono::duration<double, std::micro>(now - m_lastGrow).count();
        const double busy = double(cpu - m_lastCpu) / (wall * m_workerCount);
        const double readPerSecond = double(read - std::min(read, m_lastRead)) / wall * 1e6;
        m_lastGrow = now;
        m_lastCpu = cpu;
        m_lastRead = read;
        // A walk that has directories and inodes read from the disk (a cold cache), or whose walkers
        // mostly wait, keeps more requests in flight with more walkers (four times as many at each
        // look, so that a cold walk has its 32 within a fifth of a second): the disk and the
        // kernel's share of the work overlap better. A warm walk keeps its processors busy, reads
        // next to nothing from the disk, and stays as it is.
        constexpr double kColdReadPerSecond = 16e6;
        if ((readPerSecond > kColdReadPerSecond || busy < 0.5) &&
            m_queued.load(std::memory_order_relaxed) > m_workerCount)
            startWorkers(m_workerCount * 4);
    }

    Node* take(unsigned index)
    {
        if (Node* node = pop(*m_workers[index], true))
            return node;
        // The oldest directory of another walker: near its root, so likely a large tree.
        const unsigned count = m_workerCount;
        for (unsigned k = 1; k < count; ++k) {
            if (Node* node = pop(*m_workers[(index + k) % count], false))
                return node;
        }
        return nullptr;
    }

    Node* pop(Worker& worker, bool newest)
    {
        std::lock_guard lock(worker.lock);
        if (worker.queue.empty())
            return nullptr;
        Node* node = newest ? worker.queue.back() : worker.queue.front();
        if (newest)
            worker.queue.pop_back();
        else
            worker.queue.pop_front();
        m_queued.fetch_sub(1, std::memory_order_relaxed);
        return node;
    }

    // Waits until a directory is queued or the walk is over. A walker that waits holds no descriptor:
    // one short of descriptors may need them all.
    //
    // No wake-up is missed: the waiter counts itself in m_waiting before it looks at m_queued, and
    // addChildren adds to m_queued before it looks at m_waiting (all sequentially consistent). So
    // either the waiter sees the new work, or addChildren sees the waiter and notifies under the
    // mutex, which the waiter holds from its look until it sleeps.
    void waitForWork(unsigned index, DirectoryCursor<NodeTree>& cursor)
    {
        if (m_queued.load() > 0)
            return;
        cursor.release();
        m_turns.release();
        {
            std::unique_lock lock(m_idleMutex);
            ++m_waiting;
            const auto ready = [this] { return m_queued.load() > 0 || m_pending.load() == 0; };
            // The calling thread keeps its progress going while it waits.
            if (index == 0)
                m_idle.wait_for(lock, kGrowInterval, ready);
            else
                m_idle.wait(lock, ready);
            --m_waiting;
        }
        m_turns.hold();
    }

    // Makes the nodes of node's sub-directories. Returns the first, which this walker reads next:
    // its parent is the end of this walker's path. The others wait where idle walkers can take them.
    Node* addChildren(unsigned index, Node& node, std::vector<std::string>& subdirectories)
    {
        if (subdirectories.empty())
            return nullptr;
        Worker& own = *m_workers[index];
        node.children.reserve(subdirectories.size());
        for (std::string& name : subdirectories) {
            Node& child = own.makeNode();
            child.parent = &node;
            child.name = std::move(name);
            child.depth = node.depth + 1;
            node.children.push_back(&child);
        }
        // Counted before anyone can take them, so that the count never reaches 0 too early.
        m_pending.fetch_add(static_cast<std::int64_t>(node.children.size()));
        if (node.children.size() > 1) {
            {
                std::lock_guard lock(own.lock);
                // Last first, so that this walker takes them in read order.
                own.queue.insert(own.queue.end(), node.children.rbegin(), node.children.rend() - 1);
                m_queued.fetch_add(node.children.size() - 1);
            }
            if (m_waiting.load() > 0) {
                std::lock_guard lock(m_idleMutex);
                m_idle.notify_all();
            }
        }
        return node.children.front();
    }

    bool stopRequested() const { return m_options.stop && m_options.stop->load(std::memory_order_relaxed); }

    bool isOtherRoot(const FileId& id) const
    {
        return std::find(m_options.otherRoots.begin(), m_options.otherRoots.end(), id) !=
               m_options.otherRoots.end();
    }

    // True when the directory or descriptor that statx describes lies on the root's mount.
    bool onRootMount(const struct statx& sx) const
    {
        if (makedev(sx.stx_dev_major, sx.stx_dev_minor) != m_rootDevice)
            return false;
        return (sx.stx_mask & STATX_MNT_ID) && m_rootMountKnown
                   ? sx.stx_mnt_id == m_rootMount
                   : (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT) == 0;
    }

    // Opens node for reading and makes it the end of the cursor's path. -1 when it is not read:
    // node.error then says why when it could not be read; it stays 0 for a directory that is gone or
    // was swapped for something else, and for one left out on purpose (another filesystem or mount,
    // an automount point, another root). Short of descriptors, the open is tried again on a turn of
    // its own, with every descriptor the walkers had, so no directory is left out for want of one
    // that the process could have given.
    int open(Node& node, DirectoryCursor<NodeTree>& cursor)
    {
        const int fd = m_turns.openWithTurn(cursor, [&] { return openOnce(node, cursor); });
        if (fd < 0 && !VanishedOrReplaced(errno))
            node.error = errno;
        return fd;
    }

    int openOnce(Node& node, DirectoryCursor<NodeTree>& cursor)
    {
        int fd = -1;
        if (!node.parent) {
            fd = OpenRootDirectory(node.name);
        } else {
            const int parentFd = cursor.open(node.parent);
            if (parentFd < 0)
                return -1;
            // Looked at before it is opened: opening an automount point would mount it, and a mount
            // point is a boundary.
            struct statx sx = {};
            if (::statx(parentFd, node.name.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                        STATX_TYPE | STATX_MNT_ID, &sx) != 0)
                return -1;
            if (!S_ISDIR(sx.stx_mode) || (sx.stx_attributes & STATX_ATTR_AUTOMOUNT) || !onRootMount(sx))
                return LeftOut();
            if (m_options.beforeOpen)
                m_options.beforeOpen(pathOf(node));
            fd = OpenDirectoryAt(parentFd, node.name);
            if (fd < 0 && OutOfDescriptors(errno) && cursor.shed() > 0)
                fd = OpenDirectoryAt(parentFd, node.name);
        }
        if (fd < 0)
            return -1;
        // Judged by what was opened, not by what was looked at: a directory swapped in between is
        // taken for itself, or left out.
        struct statx sx = {};
        if (::statx(fd, "", AT_EMPTY_PATH, STATX_TYPE | STATX_INO | STATX_MNT_ID, &sx) != 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return -1;
        }
        const FileId id{makedev(sx.stx_dev_major, sx.stx_dev_minor), sx.stx_ino};
        if (!node.parent) {
            m_rootDevice = id.device;
            m_rootMountKnown = (sx.stx_mask & STATX_MNT_ID) != 0;
            m_rootMount = sx.stx_mnt_id;
        } else if (!onRootMount(sx) || isOtherRoot(id)) {
            ::close(fd);
            return LeftOut();
        }
        node.id = id;
        cursor.descend(&node, fd);
        return fd;
    }

    std::string pathOf(const Node& node) const
    {
        std::vector<const Node*> chain;
        for (const Node* n = &node; n; n = n->parent)
            chain.push_back(n);
        std::string path;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            path += (*it)->name;
            if ((*it)->parent)
                path += '/';
        }
        return path;
    }

    // Reads one directory: its matching files go into the node, the names of the sub-directories to
    // walk into subdirectories.
    void read(Node& node, DirectoryCursor<NodeTree>& cursor, std::vector<char>& buffer,
              std::vector<std::string>& subdirectories)
    {
        if (stopRequested())
            return;
        const int fd = open(node, cursor);
        if (fd < 0)
            return;

        // One read of the whole directory first: the entries keep the order the kernel gives.
        // getdents64 into the thread's own buffer spares the allocation and the extra system
        // calls of opendir and readdir for each of a hundred thousand directories.
        std::string names;
        std::vector<RawEntry> entries;
        for (;;) {
            const ssize_t got = ::getdents64(fd, buffer.data(), buffer.size());
            if (got < 0)
                node.error = errno; // what was read so far counts
            if (got <= 0)
                break;
            // A directory of a million entries takes long to read: a stop need not wait for it.
            if (stopRequested())
                return;
            for (ssize_t at = 0; at < got;) {
                const auto* de = reinterpret_cast<const dirent64*>(buffer.data() + at);
                at += de->d_reclen;
                const char* n = de->d_name;
                if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0')))
                    continue;
                const size_t length = std::char_traits<char>::length(n);
                entries.push_back({names.size(), length, de->d_type});
                names.append(n, length + 1);
            }
        }
        if (m_options.afterDirectoryRead)
            m_options.afterDirectoryRead(pathOf(node));

        const bool canDefer =
            m_options.deferMeasuring && m_options.seenNames && m_options.mode == ScanMode::Duplicates;
        std::int64_t examined = 0;
        struct stat st = {};
        for (size_t k = 0; k < entries.size(); ++k) {
            if (k % kStopCheckInterval == 0 && stopRequested())
                break;
            const RawEntry& raw = entries[k];
            const char* name = names.data() + raw.offset;
            const std::string_view nameView(name, raw.length);
            unsigned char type = raw.type;
            bool measured = false;
            if (type == DT_UNKNOWN) {
                // Some filesystems do not say what an entry is; ask, without following links.
                if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                    continue;
                type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
                measured = type == DT_REG;
            }
            if (type == DT_DIR) {
                if (name[0] != '.')
                    subdirectories.emplace_back(nameView);
                continue;
            }
            if (type != DT_REG)
                continue;

            ++examined;
            if (!m_options.mask->matches(nameView))
                continue;
            const bool defer = canDefer && !m_options.seenNames->seenBefore(nameView);
            if (!measured && !defer) {
                if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
                    continue; // vanished or replaced since the directory was read
                measured = true;
            }
            if (measured) {
                if (m_options.mode == ScanMode::LargerThan && st.st_size < m_options.sizeThreshold)
                    continue;
                if (m_options.mode == ScanMode::ZeroLength && st.st_size != 0)
                    continue;
            }
            FoundFile& f = node.files.emplace_back();
            f.nameOffset = static_cast<std::uint32_t>(node.names.size());
            f.nameLength = static_cast<std::uint32_t>(raw.length);
            node.names.append(nameView);
            f.measured = measured;
            if (measured) {
                f.size = st.st_size;
                f.time = st.st_mtim.tv_sec;
            }
        }
        m_examined.fetch_add(examined, std::memory_order_relaxed);
    }

    const ScanOptions& m_options;
    const bool m_automatic;
    const unsigned m_maxWorkers;
    const size_t m_descriptorBudget;
    Node m_root;
    dev_t m_rootDevice = 0;
    std::uint64_t m_rootMount = 0;
    bool m_rootMountKnown = false;

    std::array<std::unique_ptr<Worker>, kMaxWorkers> m_workers;
    std::atomic<unsigned> m_workerCount{1};
    std::vector<std::thread> m_threads; // the calling thread's alone
    bool m_growthRefused = false;
    std::atomic<std::int64_t> m_pending{0}; // directories queued or being read
    std::atomic<size_t> m_queued{0};        // directories queued
    std::mutex m_idleMutex;
    std::condition_variable m_idle;
    std::atomic<int> m_waiting{0}; // walkers in waitForWork
    DescriptorTurns m_turns;
    std::atomic<std::int64_t> m_examined{0};

    Clock::time_point m_started, m_lastProgress, m_lastGrow;
    std::uint64_t m_lastCpu = 0;
    std::uint64_t m_lastRead = 0;
};

} // namespace

unsigned WorkerThreads(unsigned requested)
{
    return requested ? requested : std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

std::string NameKey(std::string_view name)
{
    std::string key(name);
    for (char& c : key) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return key;
}

bool DirectoryIdentity(const std::string& path, DirectoryId& id)
{
    struct stat st = {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    id = {st.st_dev, st.st_ino};
    return true;
}

std::int64_t ScanDirectory(const std::string& root, const ScanOptions& options, ResultTable& table)
{
    Walk walk(root, options);
    walk.run();
    walk.flatten(table);
    return walk.filesExamined();
}
