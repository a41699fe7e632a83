// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/AuditLog.h"

#include "platform/HexDigits.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether text at i reads as an escape: "\x" and two hex digits.
bool isEscape(std::string_view text, size_t i)
{
    return i + 3 < text.size() && text[i] == '\\' && text[i + 1] == 'x' && HexDigitValue(text[i + 2]) >= 0 &&
           HexDigitValue(text[i + 3]) >= 0;
}

// Opens the log for appending, with access O_RDWR or O_WRONLY. created tells whether this call made it.
UniqueFd openLog(const std::string& programDir, int access, bool& created)
{
    // Non-blocking, so that a FIFO put in the log's place fails at once instead of waiting for a reader.
    const int append = access | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    created = false;
    UniqueFd dir(::open(programDir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    // A name made or replaced by someone else between two looks is looked at again, a few times.
    for (int attempt = 0; dir && attempt < 3; ++attempt) {
        UniqueFd file(::openat(dir.get(), kAuditFileName, append | O_NOFOLLOW));
        if (file)
            return file;
        if (errno == ENOENT) {
            // O_EXCL fails on a dangling link instead of making its target.
            file.reset(::openat(dir.get(), kAuditFileName, append | O_CREAT | O_EXCL, 0666));
            created = bool(file);
            if (file || errno != EEXIST)
                return file;
            continue;
        }
        if (errno != ELOOP)
            return {};
        // A link, in a folder others may write to: followed only when the user or root made it, to
        // the target read from the very link that was checked.
        UniqueFd link(::openat(dir.get(), kAuditFileName, O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat st = {};
        if (!link || ::fstat(link.get(), &st) != 0 || !S_ISLNK(st.st_mode))
            continue;
        if (st.st_uid != ::geteuid() && st.st_uid != 0)
            return {};
        char target[PATH_MAX];
        const ssize_t length = ::readlinkat(link.get(), "", target, sizeof target);
        if (length <= 0 || length >= static_cast<ssize_t>(sizeof target))
            return {};
        target[length] = '\0';
        return UniqueFd(::openat(dir.get(), target, append));
    }
    return {};
}

} // namespace

std::string AuditLine(const LocalDateTime& when, std::string_view path, const LocaleSettings& locale)
{
    std::string line = FormatDateTime(locale.shortDateFormat, when, locale);
    line += ' ';
    line += FormatDateTime(locale.longTimeFormat, when, locale);
    line += "  ";
    // A deleted file whose name ends in the mark of a restore would read as that restore, and could
    // never be brought back from its line: its last byte is written as an escape.
    const size_t markEnd = path.ends_with(kRestoredMark) ? path.size() - 1 : path.size();
    for (size_t i = 0; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (c < 0x20 || c == 0x7F || isEscape(path, i) || i == markEnd) {
            line += "\\x";
            line += kUpperHexDigits[c >> 4];
            line += kUpperHexDigits[c & 0xF];
        } else {
            line += path[i];
        }
    }
    return line;
}

std::optional<AuditEntry> ParseAuditLine(std::string_view line, const LocaleSettings& locale)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    AuditEntry entry;
    if (!ParseDateTime(locale.shortDateFormat, line, locale, entry.when) || !line.starts_with(' '))
        return std::nullopt;
    line.remove_prefix(1);
    if (!ParseDateTime(locale.longTimeFormat, line, locale, entry.when) || !line.starts_with("  "))
        return std::nullopt;
    line.remove_prefix(2);
    if (line.ends_with(kRestoredMark)) {
        entry.restored = true;
        line.remove_suffix(kRestoredMark.size());
    }
    if (line.empty())
        return std::nullopt;
    for (size_t i = 0; i < line.size(); ++i) {
        if (isEscape(line, i)) {
            entry.path += static_cast<char>(HexDigitValue(line[i + 2]) * 16 + HexDigitValue(line[i + 3]));
            i += 3;
        } else {
            entry.path += line[i];
        }
    }
    return entry;
}

bool AppendAuditLine(const std::string& programDir, std::string_view line)
{
    return AppendAuditLines(programDir, {std::string(line)});
}

bool AppendAuditLines(const std::string& programDir, const std::vector<std::string>& lines)
{
    if (programDir.empty())
        return false;
    bool created = false;
    UniqueFd file = openLog(programDir, O_RDWR, created);
    if (!file && errno == EACCES) // a log the user may write but not read
        file = openLog(programDir, O_WRONLY, created);
    struct stat before = {};
    if (!file || ::fstat(file.get(), &before) != 0 || !S_ISREG(before.st_mode))
        return false;

    // A log whose last line has no line end (cut short, or edited by hand) would swallow the first
    // new line into it, where no reader finds it: the new lines begin on a line of their own.
    char last = '\n';
    std::string record;
    if (before.st_size > 0 && ::pread(file.get(), &last, 1, before.st_size - 1) == 1 && last != '\n' &&
        last != '\r')
        record = "\r\n";
    for (const std::string& line : lines) {
        record += line;
        record += "\r\n";
    }
    ssize_t written;
    do {
        written = ::write(file.get(), record.data(), record.size());
    } while (written < 0 && errno == EINTR);
    // A full disk or a quota can cut a line short, and half a line would run into the next one; lines
    // that cannot be flushed may stand for moves that are taken back. Either way they go again, unless
    // another writer appended after them.
    const auto takeBack = [&] {
        struct stat after = {};
        if (written > 0 && ::fstat(file.get(), &after) == 0 && after.st_size == before.st_size + written)
            (void)::ftruncate(file.get(), before.st_size);
        return false;
    };
    if (written != static_cast<ssize_t>(record.size()) || ::fdatasync(file.get()) != 0)
        return takeBack();
    // A new file's name in the folder has to reach the disk as well.
    if (created) {
        UniqueFd folder(::open(programDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder)
            (void)::fsync(folder.get());
    }
    return ::close(file.release()) == 0;
}
