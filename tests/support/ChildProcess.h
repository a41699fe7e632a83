// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <sys/wait.h>

// Tests that need what a test process should not do to itself (give up root, mount filesystems, lower
// resource limits) run that part in a forked child: RunInChild when the child checks with GoogleTest
// and answers with its exit code, ChildProcess when it answers with text.

// Exit code of a child whose body found that the machine does not allow what it needs.
inline constexpr int kChildSkipped = 77;

// Runs body in a forked child that exits with body's result, or with 1 when body throws or a
// GoogleTest check failed in it (its messages are printed by the child). Returns the exit code, or
// 128 + the signal that ended the child.
int RunInChild(const std::function<int()>& body);

// In a child: gives up every privilege for good. Root becomes the user "nobody" (and its group); an
// ordinary user stays who he is, since root's files are no more his than nobody's, and only loses the
// capabilities that EnterPrivateMounts gave him in his own user namespace. False when that is refused.
bool BecomeNobody();
// The numeric ids of "nobody" and its group, for preparing files the child will use.
unsigned NobodyUid();
unsigned NobodyGid();
// Before a child calls BecomeNobody: gives path to the user it will then be (chown to nobody as
// root; an ordinary user already owns what he made). False when that fails.
bool HandToNobody(const std::string& path);

// In a child: a mount namespace of its own whose mounts vanish with the child and never reach the
// machine. An ordinary user gets it inside a user namespace of his own, where he keeps his ids (files
// of other users show as the overflow id, 65534) and may mount tmpfs and bind mounts. False, with
// errno set, when the kernel refuses even that (user namespaces switched off or limited).
bool EnterPrivateMounts();
// In a child in private mounts: mounts a fresh tmpfs on folder ("ro" in options for a read-only
// one). False when refused.
bool MountTmpfs(const std::string& folder, const std::string& options = "size=8m");
// In a child in private mounts: makes the mount at folder read-only. False when refused.
bool RemountReadOnly(const std::string& folder);

// A body run in a forked child that answers with text. The child's writes to standard error show in
// the test's output.
class ChildProcess
{
public:
    // Runs body in a child and waits for it. What body returns comes back as output(); the child then
    // ends with status 0.
    explicit ChildProcess(const std::function<std::string()>& body);

    bool exitedNormally() const { return WIFEXITED(m_status) && WEXITSTATUS(m_status) == 0; }
    const std::string& output() const { return m_output; }
    // The body returned "skip: " and the reason: it could not do what the test needs here.
    bool skipped() const { return m_output.starts_with("skip: "); }
    // "exit 3", "signal 6": for messages.
    std::string describe() const;

    // In a child: EnterPrivateMounts. False when the kernel refuses it, with the reason in why.
    static bool privateMounts(std::string& why);
    // In a child: a tmpfs on directory, in the child's own mount namespace. False when refused.
    static bool mountTmpfs(const std::string& directory, std::string& why);
    // In a child: BecomeNobody. False when that is not possible, with the reason in why.
    static bool becomeNobody(std::string& why);

private:
    int m_status = -1;
    std::string m_output;
};
