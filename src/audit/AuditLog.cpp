// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/AuditLog.h"

#include "platform/UniqueFd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string AuditLine(const LocalDateTime& when, std::string_view path, const LocaleSettings& locale)
{
    std::string line = FormatDateTime(locale.shortDateFormat, when, locale);
    line += ' ';
    line += FormatDateTime(locale.longTimeFormat, when, locale);
    line += "  ";
    line += path;
    return line;
}

bool AppendAuditLine(const std::string& programDir, std::string_view line)
{
    if (programDir.empty())
        return false;
    // Non-blocking, so that a FIFO put in the log's place fails at once instead of waiting for a reader.
    UniqueFd file(::open((programDir + kAuditFileName).c_str(),
                         O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666));
    struct stat before = {};
    if (!file || ::fstat(file.get(), &before) != 0 || !S_ISREG(before.st_mode))
        return false;

    std::string record(line);
    record += "\r\n";
    ssize_t written;
    do {
        written = ::write(file.get(), record.data(), record.size());
    } while (written < 0 && errno == EINTR);
    if (written != static_cast<ssize_t>(record.size())) {
        // A full disk or a quota can cut a line short; half a line would run into the next one.
        struct stat after = {};
        if (written > 0 && ::fstat(file.get(), &after) == 0 && after.st_size == before.st_size + written)
            (void)::ftruncate(file.get(), before.st_size);
        return false;
    }
    if (::fdatasync(file.get()) != 0)
        return false;
    // The first line also makes the file: its name in the folder has to reach the disk as well.
    if (before.st_size == 0) {
        UniqueFd folder(::open(programDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder)
            (void)::fsync(folder.get());
    }
    return ::close(file.release()) == 0;
}
