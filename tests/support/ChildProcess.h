// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

// Tests that need what a test process should not do to itself (give up root, mount filesystems, lower
// resource limits) run that part in a forked child: RunInChild when the child checks with GoogleTest
// and answers with its exit code, ChildProcess when it answers with text.

// Exit code of a child whose body found that the machine does not allow what it needs.
inline constexpr int kChildSkipped = 77;

// Runs body in a forked child that exits with body's result, or with 1 when body throws or a
// GoogleTest check failed in it (its messages are printed by the child). Returns the exit code, or
// 128 + the signal that ended the child.
int RunInChild(const std::function<int()>& body);

// In a child: becomes the user "nobody" (and its group) for good. False when that is refused.
bool BecomeNobody();
// The numeric ids of "nobody" and its group, for preparing files the child will use.
unsigned NobodyUid();
unsigned NobodyGid();

// In a child: a mount namespace of its own whose mounts vanish with the child and never reach the
// machine. False when the kernel refuses it (no privilege, or namespaces switched off).
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

    bool exitedNormally() const;
    int exitStatus() const; // -1 when the child did not exit normally
    const std::string& output() const { return m_output; }
    // The body returned "skip: " and the reason: it could not do what the test needs here.
    bool skipped() const { return m_output.starts_with("skip: "); }
    // "exit 3", "signal 6": for messages.
    std::string describe() const;

    // In a child: a mount namespace of its own, so that nothing it mounts outlives it. False when
    // the system refuses (no privilege), with the reason in why.
    static bool privateMounts(std::string& why);
    // In a child: a tmpfs on directory, in the child's own mount namespace. False when refused.
    static bool mountTmpfs(const std::string& directory, std::string& why);
    // In a child: become the unprivileged user "nobody" (nothing to do for an ordinary user). False
    // when that is not possible.
    static bool becomeNobody(std::string& why);

private:
    int m_status = -1;
    std::string m_output;
};
