// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MountInfo.h"

#include <algorithm>
#include <array>

namespace {

// The kernel escapes blank, tab, newline and backslash in mount points as three octal digits.
std::string unescapeOctal(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    const auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2]) &&
            isOctal(field[i + 3])) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
            continue;
        }
        out += field[i];
    }
    return out;
}

std::vector<std::string_view> splitBlanks(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ')
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

} // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text)
{
    std::vector<MountEntry> mounts;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const auto fields = splitBlanks(text.substr(pos, end - pos));
        pos = end + 1;

        // id parent major:minor root mount-point options [optional...] - fstype source super-options
        const auto dash = std::find(fields.begin(), fields.end(), std::string_view("-"));
        if (fields.size() < 6 || dash == fields.end() || dash - fields.begin() < 6 ||
            dash + 1 == fields.end())
            continue;
        mounts.push_back({unescapeOctal(fields[4]), std::string(dash[1])});
    }
    return mounts;
}

bool IsPseudoFilesystem(std::string_view fsType)
{
    static constexpr std::array<std::string_view, 26> pseudo{
        "proc",       "sysfs",      "devtmpfs", "devpts",          "tmpfs",      "ramfs", "cgroup",
        "cgroup2",    "securityfs", "debugfs",  "tracefs",         "pstore",     "bpf",   "mqueue",
        "hugetlbfs",  "configfs",   "fusectl",  "binfmt_misc",     "autofs",     "nsfs",  "efivarfs",
        "rpc_pipefs", "selinuxfs",  "squashfs", "fuse.gvfsd-fuse", "fuse.portal"};
    return std::find(pseudo.begin(), pseudo.end(), fsType) != pseudo.end();
}

std::vector<std::string> DriveRootsFromMounts(const std::vector<MountEntry>& mounts,
                                              const std::function<bool(const std::string&)>& canEnter)
{
    std::vector<std::string> roots;
    for (const MountEntry& m : mounts) {
        if (m.mountPoint.empty() || IsPseudoFilesystem(m.fsType))
            continue;
        std::string root = m.mountPoint;
        if (root.back() != '/')
            root += '/';
        if (std::find(roots.begin(), roots.end(), root) != roots.end())
            continue;
        if (canEnter(root))
            roots.push_back(root);
    }
    std::sort(roots.begin(), roots.end());
    return roots;
}
