// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PrintSpool.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string TemporaryFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && tmp[0] == '/' ? tmp : "/tmp";
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file path leads to, its symbolic links followed; empty with errno ELOOP for a loop.
std::string FollowLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        char to[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), to, sizeof to);
        if (length < 0 || length == static_cast<ssize_t>(sizeof to))
            return path;
        std::string next(to, static_cast<std::size_t>(length));
        path = next.front() == '/' ? next : FolderOf(path) + "/" + next;
    }
    errno = ELOOP;
    return {};
}

// A name of a few bytes, unlikely to be taken, so that it fits beside any name in a folder.
std::string ShortName()
{
    char name[32];
    std::snprintf(name, sizeof name, ".lintwick-%08x", static_cast<unsigned>(std::random_device{}()));
    return name;
}

// The mode a new file gets: 0666 less the process's umask, read without changing it.
mode_t NewFileMode()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("Umask:"))
            return 0666 & ~static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    return 0644;
}

bool CopyAll(int from, int to)
{
    struct stat st = {};
    if (::fstat(from, &st) != 0)
        return false;
    for (off_t offset = 0; offset < st.st_size;) {
        const ssize_t sent = ::sendfile(to, from, &offset, static_cast<std::size_t>(st.st_size - offset));
        if (sent == 0)
            errno = EIO;
        if (sent <= 0 && errno != EINTR)
            return false;
    }
    return true;
}

} // namespace

bool PrintSpool::open(const std::string& target)
{
    discard();
    const std::string file = target.empty() ? std::string() : FollowLinks(target);
    if (!target.empty() && file.empty())
        return false;
    // Only a regular file is replaced: the rename at the end would put a plain file in the place of a
    // FIFO, a device or a socket the user named.
    struct stat existing = {};
    if (!file.empty() && ::stat(file.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        errno = S_ISDIR(existing.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    const std::string folder = target.empty() ? TemporaryFolder() : FolderOf(file);
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    const bool linkable = fd >= 0;
    // Filesystems without O_TMPFILE (FAT on a USB stick, network ones): a name for a moment, private.
    for (int attempt = 0;
         fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EEXIST) && attempt < 100; ++attempt) {
        const std::string name = folder + "/" + ShortName();
        fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0)
            ::unlink(name.c_str());
    }
    if (fd < 0)
        return false;
    m_fd.reset(fd);
    m_linkable = linkable;
    m_target = file;
    return true;
}

std::string PrintSpool::path() const
{
    return m_fd ? "/proc/" + std::to_string(::getpid()) + "/fd/" + std::to_string(m_fd.get()) : std::string();
}

std::string PrintSpool::tail(std::size_t count) const
{
    struct stat st = {};
    if (!m_fd || ::fstat(m_fd.get(), &st) != 0)
        return {};
    std::string bytes(std::min<std::size_t>(count, static_cast<std::size_t>(st.st_size)), '\0');
    const ssize_t got = ::pread(m_fd.get(), bytes.data(), bytes.size(), st.st_size - off_t(bytes.size()));
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

bool PrintSpool::commit()
{
    if (!m_fd || m_target.empty()) {
        discard();
        errno = EINVAL;
        return false;
    }
    struct stat st = {};
    const mode_t mode =
        ::stat(m_target.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? st.st_mode & 07777 : NewFileMode();
    // The spool gets a short name beside the target first, then the target's name in one rename, so
    // that the target is never half written.
    const std::string temporary = FolderOf(m_target) + "/" + ShortName();
    bool named = false;
    bool done = false;
    // On the disk before it takes the target's place, so that a crash leaves the old file or the new
    // one, never an empty one.
    if (m_linkable) {
        named = ::fchmod(m_fd.get(), mode) == 0 && ::fsync(m_fd.get()) == 0 &&
                ::linkat(AT_FDCWD, path().c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0;
        done = named;
    } else {
        const UniqueFd copy(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        named = static_cast<bool>(copy);
        done = named && CopyAll(m_fd.get(), copy.get()) && ::fchmod(copy.get(), mode) == 0 &&
               ::fsync(copy.get()) == 0;
    }
    done = done && ::rename(temporary.c_str(), m_target.c_str()) == 0;
    // The new name on the disk too; the file is in place already, so this can only be tried.
    if (done) {
        if (const UniqueFd folder(::open(FolderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            folder)
            ::fsync(folder.get());
    }
    const int error = errno;
    if (!done && named)
        ::unlink(temporary.c_str());
    discard();
    errno = error;
    return done;
}

void PrintSpool::discard()
{
    m_fd.reset();
    m_linkable = false;
    m_target.clear();
}
