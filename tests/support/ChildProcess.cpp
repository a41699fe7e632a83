// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChildProcess.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

ChildProcess::ChildProcess(const std::function<std::string()>& body)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return;
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
        for (size_t at = 0; at < out.size();) {
            const ssize_t n = ::write(pipeFds[1], out.data() + at, out.size() - at);
            if (n <= 0)
                ::_exit(2);
            at += static_cast<size_t>(n);
        }
        ::_exit(0);
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

bool ChildProcess::exitedNormally() const
{
    return WIFEXITED(m_status) && WEXITSTATUS(m_status) == 0;
}

int ChildProcess::exitStatus() const
{
    return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
}

std::string ChildProcess::describe() const
{
    if (WIFSIGNALED(m_status))
        return "signal " + std::to_string(WTERMSIG(m_status));
    return "exit " + std::to_string(exitStatus());
}

bool ChildProcess::privateMounts(std::string& why)
{
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        why = std::string("no mount namespace of its own: ") + std::strerror(errno);
        return false;
    }
    return true;
}

bool ChildProcess::mountTmpfs(const std::string& directory, std::string& why)
{
    if (::mount("lintwick-test", directory.c_str(), "tmpfs", 0, "size=512m") != 0) {
        why = std::string("mounting a tmpfs refused: ") + std::strerror(errno);
        return false;
    }
    return true;
}

bool ChildProcess::becomeNobody(std::string& why)
{
    if (::geteuid() != 0)
        return true; // already an ordinary user
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody) {
        why = "no user nobody";
        return false;
    }
    if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0) {
        why = std::string("cannot become nobody: ") + std::strerror(errno);
        return false;
    }
    return true;
}
