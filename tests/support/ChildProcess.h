// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

// Runs a test's body in a forked child, for what must not touch the test process: resource limits,
// dropped privileges, a private mount namespace. The child's writes to standard error show in the
// test's output.
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
