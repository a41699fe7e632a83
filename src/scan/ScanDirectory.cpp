// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanDirectory.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProgressInterval = std::chrono::milliseconds(250);

// Paths at least this long cannot be handed to the kernel whole; such directories are opened
// relative to their parent's descriptor and their files are measured while that is open.
constexpr size_t kLongPath = PATH_MAX - 1;

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

// An open directory, shared by the children that must be opened relative to it.
class OpenDirectory
{
public:
    explicit OpenDirectory(int fd) : m_fd(fd) {}
    ~OpenDirectory() { ::close(m_fd); }
    OpenDirectory(const OpenDirectory&) = delete;
    OpenDirectory& operator=(const OpenDirectory&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

// One directory of the tree. The walk may read directories on several threads in any order; the
// tree of nodes keeps the pre-order that the table must get.
struct Node
{
    std::string path;     // ends in "/"
    size_t nameStart = 0; // this directory's own name within path
    std::shared_ptr<OpenDirectory> parent;
    std::string names; // the names of the kept files, one after the other
    std::vector<FoundFile> files;
    std::vector<Node*> children;
};

struct RawEntry
{
    size_t offset;
    size_t length;
    unsigned char type;
};

class Walk
{
public:
    Walk(const std::string& root, const ScanOptions& options) : m_options(options)
    {
        m_root = &m_nodes.emplace_back();
        m_root->path = root;
        m_stack.push_back(m_root);
        m_pending = 1;
    }

    unsigned threads() const { return WorkerThreads(m_options.threads); }

    void run()
    {
        std::vector<std::thread> helpers;
        for (unsigned t = 1; t < threads(); ++t)
            helpers.emplace_back([this] { work(false); });
        work(true);
        for (std::thread& t : helpers)
            t.join();
    }

    // Appends the found files to the table in pre-order, and every directory walked to the table's
    // directories, and releases the tree. The threads share the work: every directory's first slot
    // in the table is known before any entry is written.
    void flatten(ResultTable& table, unsigned threads)
    {
        std::vector<Node*> order;
        std::vector<Node*> stack{m_root};
        while (!stack.empty()) {
            Node* node = stack.back();
            stack.pop_back();
            order.push_back(node);
            stack.insert(stack.end(), node->children.rbegin(), node->children.rend());
        }
        std::vector<size_t> first(order.size() + 1);
        const size_t base = table.EntryTable.size();
        first[0] = base;
        for (size_t i = 0; i < order.size(); ++i)
            first[i + 1] = first[i] + order[i]->files.size();
        table.EntryTable.resize(first.back());

        const bool keyed = m_options.mode == ScanMode::Duplicates;
        const std::uint32_t firstDirectory = static_cast<std::uint32_t>(table.directoryCount());
        const auto fill = [&](size_t from, size_t to) {
            for (size_t i = from; i < to; ++i) {
                Node& node = *order[i];
                entrytype* out = &table.EntryTable[first[i]];
                for (const FoundFile& f : node.files) {
                    out->name.assign(node.names.data() + f.nameOffset, f.nameLength);
                    if (keyed)
                        out->key = NameKey(out->name);
                    out->size = f.size;
                    out->time = f.time;
                    out->measured = f.measured;
                    out->directory = firstDirectory + static_cast<std::uint32_t>(i);
                    ++out;
                }
                node.files = {};
                node.names = {};
            }
        };
        // Split the directories where about half of the entries lie.
        const size_t total = first.back() - base;
        size_t split = order.size();
        if (threads > 1 && total > 10000)
            split = std::upper_bound(first.begin(), first.end() - 1, base + total / 2) - first.begin();
        std::thread helper;
        if (split < order.size())
            helper = std::thread(fill, split, order.size());
        fill(0, split);
        if (helper.joinable())
            helper.join();
        for (Node* node : order)
            table.addDirectory(std::move(node->path));
        m_nodes.clear();
    }

    std::int64_t filesExamined() const { return m_examined.load(std::memory_order_relaxed); }

private:
    void work(bool caller)
    {
        auto lastProgress = Clock::now();
        std::vector<char> buffer(64 * 1024);
        std::unique_lock lock(m_mutex);
        for (;;) {
            if (caller && m_options.progress && Clock::now() - lastProgress >= kProgressInterval) {
                lock.unlock();
                m_options.progress(filesExamined());
                lastProgress = Clock::now();
                lock.lock();
            }
            if (m_stack.empty()) {
                if (m_pending == 0)
                    return;
                if (caller)
                    m_wake.wait_for(lock, kProgressInterval);
                else
                    m_wake.wait(lock);
                continue;
            }
            Node* node = m_stack.back();
            m_stack.pop_back();
            lock.unlock();

            std::vector<std::string> subdirectories;
            std::shared_ptr<OpenDirectory> open;
            if (!stopRequested())
                open = read(*node, subdirectories, buffer);

            // The children's paths are made before taking the lock, which the other threads wait on.
            for (std::string& name : subdirectories) {
                std::string path;
                path.reserve(node->path.size() + name.size() + 1);
                path = node->path;
                path += name;
                path += '/';
                name = std::move(path);
            }

            lock.lock();
            // Children go on the stack last first, so that a lone worker takes them in read order.
            for (std::string& path : subdirectories) {
                Node* child = &m_nodes.emplace_back();
                child->nameStart = node->path.size();
                child->path = std::move(path);
                if (child->path.size() >= kLongPath)
                    child->parent = open;
                node->children.push_back(child);
            }
            m_stack.insert(m_stack.end(), node->children.rbegin(), node->children.rend());
            m_pending += node->children.size();
            --m_pending;
            if (!node->children.empty() || m_pending == 0)
                m_wake.notify_all();
        }
    }

    bool stopRequested() const { return m_options.stop && m_options.stop->load(std::memory_order_relaxed); }

    bool isOtherRoot(const struct stat& st) const
    {
        const DirectoryId id{st.st_dev, st.st_ino};
        return std::find(m_options.otherRoots.begin(), m_options.otherRoots.end(), id) !=
               m_options.otherRoots.end();
    }

    // Reads one directory: its matching files go into the node, the names of the sub-directories to
    // walk into subdirectories. Returns the open directory while children may still need it.
    std::shared_ptr<OpenDirectory> read(Node& node, std::vector<std::string>& subdirectories,
                                        std::vector<char>& buffer)
    {
        const bool isRoot = &node == m_root;
        int fd;
        if (isRoot) {
            fd = ::open(node.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        } else if (node.parent) {
            const std::string name = node.path.substr(node.nameStart, node.path.size() - node.nameStart - 1);
            fd = ::openat(node.parent->fd(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        } else {
            fd = ::open(node.path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        }
        node.parent.reset();
        if (fd < 0)
            return {};

        struct stat st = {};
        if (::fstat(fd, &st) != 0) {
            ::close(fd);
            return {};
        }
        if (isRoot) {
            m_rootDevice = st.st_dev;
        } else if (st.st_dev != m_rootDevice || isOtherRoot(st)) {
            // Another filesystem, or a directory that is walked as a root of its own.
            ::close(fd);
            return {};
        }

        auto open = std::make_shared<OpenDirectory>(fd);

        // One read of the whole directory first: the entries keep the order the kernel gives.
        // getdents64 into the thread's own buffer spares the allocation and the extra system
        // calls of opendir and readdir for each of a hundred thousand directories.
        std::string names;
        std::vector<RawEntry> entries;
        for (;;) {
            const ssize_t got = ::getdents64(fd, buffer.data(), buffer.size());
            if (got <= 0)
                break; // the end, or a read error: what was read so far counts
            // A directory of a million entries takes long to read: a stop need not wait for it.
            if (stopRequested())
                return {};
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
            m_options.afterDirectoryRead(node.path);

        const bool canDefer = m_options.deferMeasuring && m_options.mode == ScanMode::Duplicates;
        std::int64_t examined = 0;
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
            const bool defer = canDefer && node.path.size() < kLongPath &&
                               !(m_options.seenNames && m_options.seenNames->seenBefore(nameView));
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

        const bool childrenNeedIt =
            std::any_of(subdirectories.begin(), subdirectories.end(),
                        [&](const std::string& s) { return node.path.size() + s.size() + 1 >= kLongPath; });
        return childrenNeedIt ? open : nullptr;
    }

    const ScanOptions& m_options;
    std::deque<Node> m_nodes; // grows under m_mutex; elements never move
    Node* m_root = nullptr;
    dev_t m_rootDevice = 0;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<Node*> m_stack;
    size_t m_pending = 0; // nodes on the stack or being read
    std::atomic<std::int64_t> m_examined{0};
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
    walk.flatten(table, walk.threads());
    return walk.filesExamined();
}
