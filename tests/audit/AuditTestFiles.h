// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audit/ListedFile.h"
#include "platform/DateTimeFormat.h"

#include "TempTree.h"
#include "TestFiles.h"

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <set>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <vector>

// What the trash and audit log tests share.

// The moment of every deletion, unless a test says otherwise.
inline const LocalDateTime kWhen{2026, 3, 7, 14, 5, 9, 6};

// Writes text to relative in tree, making its folders; returns its path.
inline std::string WriteFile(TempTree& tree, const std::string& relative, const std::string& text)
{
    tree.file(relative);
    std::ofstream(tree.path(relative), std::ios::binary) << text;
    return tree.path(relative);
}

// The file at relative in tree as a report lists it now: below the tree's root, with its size, its last
// write and the identities of its folders.
inline ListedFile ListedNow(const TempTree& tree, const std::string& relative)
{
    ListedFile file;
    file.root = tree.root();
    file.relative = relative;
    struct stat st = {};
    for (std::size_t end = 0; end != std::string::npos; end = relative.find('/', end + 1)) {
        ::stat(tree.path(relative.substr(0, end)).c_str(), &st);
        file.folderIds.push_back({st.st_dev, st.st_ino});
    }
    ::stat(tree.path(relative).c_str(), &st);
    file.size = st.st_size;
    file.time = st.st_mtime;
    return file;
}

// The names in folder; none when it does not exist.
inline std::set<std::string> Names(const std::string& folder)
{
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.insert(entry.path().filename());
    return names;
}

// The lines of the log at path, without their CR LF.
inline std::vector<std::string> LogLines(const std::string& path)
{
    std::vector<std::string> lines;
    const std::string log = ReadWholeFile(path);
    for (std::size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(log.substr(start, end - start));
    return lines;
}

// In a child: from now on each of the system calls fails with error, as on a disk that has gone bad; only
// where its first argument is fd when fd is not -1. False when the kernel refuses the filter.
inline bool FailCalls(std::initializer_list<long> calls, int error, int fd = -1)
{
    const auto n = static_cast<unsigned char>(calls.size());
    std::vector<sock_filter> filter{BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr))};
    for (const long call : calls) // each a jump to the first instruction after the allow below
        filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(call),
                                  static_cast<unsigned char>(n - (filter.size() - 1)), 0));
    filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    if (fd >= 0) {
        filter.push_back(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])));
        filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(fd), 0, 1));
    }
    filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | static_cast<unsigned>(error)));
    filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    const sock_fprog program{static_cast<unsigned short>(filter.size()), filter.data()};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}
