// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PrintSpool.h"

#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string temporaryFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && tmp[0] == '/' ? tmp : "/tmp";
}

} // namespace

bool PrintSpool::open(const std::string& target, const std::string& suffix)
{
    discard();
    std::string folder;
    std::string stem;
    if (target.empty()) {
        folder = temporaryFolder() + "/";
        stem = "lintwick-print-";
    } else {
        const std::size_t slash = target.rfind('/');
        folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
        stem = "." + target.substr(slash == std::string::npos ? 0 : slash + 1) + "-";
    }

    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(random()));
        const std::string path = folder + stem + tag + suffix;
        // 0666 lets the umask decide, as for any new file the user makes.
        UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        struct stat existing = {};
        if (!target.empty() && ::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
            (void)::fchmod(fd.get(), existing.st_mode & 07777);
        m_path = path;
        m_target = target;
        return true;
    }
    errno = EEXIST;
    return false;
}

bool PrintSpool::commit()
{
    if (m_path.empty() || m_target.empty()) {
        discard();
        errno = EINVAL;
        return false;
    }
    if (::rename(m_path.c_str(), m_target.c_str()) != 0) {
        const int error = errno;
        discard();
        errno = error;
        return false;
    }
    m_path.clear();
    m_target.clear();
    return true;
}

void PrintSpool::discard()
{
    if (!m_path.empty())
        ::unlink(m_path.c_str());
    m_path.clear();
    m_target.clear();
}
