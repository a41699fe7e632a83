// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <grp.h>
#include <linux/capability.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

int RunInChild(const std::function<int()>& body)
{
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        int code = 1;
        try {
            code = body();
        } catch (...) {
        }
        std::fflush(nullptr);
        ::_exit(code == 0 && ::testing::Test::HasFailure() ? 1 : code);
    }
    int status = -1; // a child that cannot be waited for counts as failed
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

unsigned NobodyUid()
{
    const passwd* user = ::getpwnam("nobody");
    return user ? user->pw_uid : 65534;
}

unsigned NobodyGid()
{
    const passwd* user = ::getpwnam("nobody");
    return user ? user->pw_gid : 65534;
}

bool BecomeNobody()
{
    if (::geteuid() != 0) {
        // In a user namespace of its own it holds every capability, which would let it past modes.
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct none[_LINUX_CAPABILITY_U32S_3] = {};
        return ::syscall(SYS_capset, &header, none) == 0;
    }
    const gid_t gid = NobodyGid();
    return ::setgroups(0, nullptr) == 0 && ::setresgid(gid, gid, gid) == 0 &&
           ::setresuid(NobodyUid(), NobodyUid(), NobodyUid()) == 0 && ::geteuid() != 0;
}

bool HandToNobody(const std::string& path)
{
    return ::geteuid() != 0 || ::chown(path.c_str(), NobodyUid(), NobodyGid()) == 0;
}

bool EnterPrivateMounts()
{
    // Without the privilege for a mount namespace, a user namespace made with it grants the right to
    // mount there. The process keeps its own ids in it (mapped onto themselves, read before the
    // unshare, which hides them until the map is written), so that getuid() and the owner of each
    // file it makes stay what the caller expects: the trash names and checks its folders by uid.
    const std::string uidMap = std::to_string(::geteuid()) + " " + std::to_string(::geteuid()) + " 1";
    const std::string gidMap = std::to_string(::getegid()) + " " + std::to_string(::getegid()) + " 1";
    const auto write = [](const char* path, const std::string& text) {
        std::ofstream file(path);
        return static_cast<bool>(file << text << std::flush);
    };
    if (::unshare(CLONE_NEWNS) != 0 &&
        (errno != EPERM || ::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 ||
         !write("/proc/self/setgroups", "deny") || !write("/proc/self/uid_map", uidMap) ||
         !write("/proc/self/gid_map", gidMap)))
        return false;
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool MountTmpfs(const std::string& folder, const std::string& options)
{
    return ::mount("lintwick-test", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

bool RemountReadOnly(const std::string& folder)
{
    return ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

ChildProcess::ChildProcess(const std::function<std::string()>& body)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return;
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::string out;
        try {
            out = body();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "child: %s\n", e.what());
            ::_exit(3); // never back into the test framework's loop
        }
        ::_exit(::write(pipeFds[1], out.data(), out.size()) == static_cast<ssize_t>(out.size()) ? 0 : 2);
    }
    ::close(pipeFds[1]);
    char buffer[65536];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            m_output.append(buffer, static_cast<size_t>(n));
        else if (errno != EINTR)
            break;
    }
    ::close(pipeFds[0]);
    if (pid > 0)
        ::waitpid(pid, &m_status, 0);
}

std::string ChildProcess::describe() const
{
    return WIFSIGNALED(m_status) ? "signal " + std::to_string(WTERMSIG(m_status))
                                 : "exit " + std::to_string(WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1);
}

namespace {

bool Said(bool done, std::string& why, const char* what)
{
    if (!done)
        why = std::string(what) + ": " + std::strerror(errno);
    return done;
}

} // namespace

bool ChildProcess::privateMounts(std::string& why)
{
    return Said(EnterPrivateMounts(), why, "no mount namespace of its own, not even in a user namespace");
}

bool ChildProcess::mountTmpfs(const std::string& directory, std::string& why)
{
    return Said(MountTmpfs(directory, "size=512m"), why, "mounting a tmpfs refused");
}

bool ChildProcess::becomeNobody(std::string& why)
{
    return Said(BecomeNobody(), why, "cannot become nobody");
}
