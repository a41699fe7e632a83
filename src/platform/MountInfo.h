// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One line of /proc/self/mountinfo: where a filesystem is mounted and of which type.
struct MountEntry
{
    std::string mountPoint; // unescaped bytes ("\040" becomes a blank)
    std::string fsType;
};

// Parses the text of /proc/self/mountinfo. Lines that do not have the expected shape are skipped.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// True for filesystems that hold no user files (proc, sysfs, tmpfs, cgroup, ...). Overlay is not one:
// a container's root is an overlay.
bool IsPseudoFilesystem(std::string_view fsType);

// The drive roots among the mounts: mount points of real filesystems that canEnter accepts, each
// ending in "/", in byte order, each once.
std::vector<std::string> DriveRootsFromMounts(const std::vector<MountEntry>& mounts,
                                              const std::function<bool(const std::string&)>& canEnter);
