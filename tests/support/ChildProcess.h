// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

// Tests that need what a test process should not do to itself (give up root, mount filesystems) run
// that part in a forked child.

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
