// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
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
            code = 1;
        }
        if (code == 0 && ::testing::Test::HasFailure())
            code = 1;
        std::fflush(nullptr);
        ::_exit(code);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
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
    const gid_t gid = NobodyGid();
    return ::setgroups(0, nullptr) == 0 && ::setresgid(gid, gid, gid) == 0 &&
           ::setresuid(NobodyUid(), NobodyUid(), NobodyUid()) == 0 && ::geteuid() != 0;
}

bool EnterPrivateMounts()
{
    return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool MountTmpfs(const std::string& folder, const std::string& options)
{
    return ::mount("lintwick-test", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

bool RemountReadOnly(const std::string& folder)
{
    return ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}
