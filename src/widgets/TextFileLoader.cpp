// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TextFileLoader.h"

#include "widgets/TVwrStringList.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kCtrlZ = 26;
// A line is collected a few bytes past its limit, to see whether the character at the limit is whole.
constexpr std::size_t kCollectedLength = kMaxViewerLineLength + 3;

class FileHandle
{
public:
    explicit FileHandle(int fd) : m_fd(fd) {}
    ~FileHandle()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

bool ParentDirectoryMissing(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return false;
    struct stat st = {};
    return ::stat(path.substr(0, slash).c_str(), &st) != 0 || !S_ISDIR(st.st_mode);
}

// Feeds splitter with the first size bytes of the file at path, or all it holds when size is negative;
// returns the size read up to.
std::int64_t ReadInto(const std::string& path, std::int64_t size, TextLineSplitter& splitter)
{
    // Only regular files: a FIFO would wait for a writer and a device could deliver without end. A
    // device is refused before it is opened at all; the non-blocking open and the second look catch
    // one that took the file's place in between.
    struct stat st = {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw ViewerOpenError(S_ISDIR(st.st_mode) ? EISDIR : EACCES);
    FileHandle file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) {
        const int error = errno;
        throw ViewerOpenError(error, error == ENOENT && ParentDirectoryMissing(path));
    }
    if (::fstat(file.get(), &st) != 0)
        throw ViewerOpenError(errno);
    if (!S_ISREG(st.st_mode))
        throw ViewerOpenError(S_ISDIR(st.st_mode) ? EISDIR : EACCES);

    constexpr std::size_t kBufferSize = 1 << 20;
    auto buffer = std::make_unique<char[]>(kBufferSize);
    // Only what the file held when it was opened: a log still being written would otherwise keep the
    // window reading while the memory fills.
    if (size < 0)
        size = st.st_size;
    for (auto left = static_cast<std::uint64_t>(size); left > 0;) {
        const ssize_t got = ::read(file.get(), buffer.get(), std::min<std::uint64_t>(kBufferSize, left));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            throw EInOutError(error, "I/O error " + std::to_string(error));
        }
        if (got == 0 || !splitter.Feed(std::string_view(buffer.get(), static_cast<std::size_t>(got))))
            break;
        left -= static_cast<std::uint64_t>(got);
    }
    splitter.Finish();
    return size;
}

} // namespace

TextLineSplitter::TextLineSplitter(TVwrStringList& lines)
    : m_line([&lines](std::string_view line) {
          lines.Append(line.substr(0, Utf8Prefix(line, kMaxViewerLineLength)));
      }),
      m_collected(kCollectedLength)
{}

bool TextLineSplitter::Feed(std::string_view chunk)
{
    if (m_ended)
        return false;
    std::size_t i = 0;
    const std::size_t n = chunk.size();
    if (m_afterCR && n > 0) {
        m_afterCR = false;
        if (chunk[0] == '\n')
            i = 1;
    }
    while (i < n) {
        std::size_t j = i;
        while (j < n && chunk[j] != '\r' && chunk[j] != '\n' && chunk[j] != kCtrlZ)
            ++j;
        if (j == n) {
            const std::size_t room = m_collected - std::min(m_collected, m_pending.size());
            m_pending.append(chunk.substr(i, std::min(room, n - i)));
            m_inLine = true;
            return true;
        }
        const char c = chunk[j];
        if (c == kCtrlZ) {
            if (j > i || m_inLine)
                EndLine(chunk.substr(i, j - i));
            m_ended = true;
            return false;
        }
        EndLine(chunk.substr(i, j - i));
        i = j + 1;
        if (c == '\r') {
            if (i == n)
                m_afterCR = true;
            else if (chunk[i] == '\n')
                ++i;
        }
    }
    return true;
}

void TextLineSplitter::EndLine(std::string_view tail)
{
    std::string_view line = tail.substr(0, m_collected);
    if (!m_pending.empty()) {
        const std::size_t room = m_collected - std::min(m_collected, m_pending.size());
        m_pending.append(tail.substr(0, room));
        line = m_pending;
    }
    m_line(line);
    m_pending.clear();
    m_inLine = false;
}

void TextLineSplitter::Finish()
{
    if (!m_ended && m_inLine)
        EndLine({});
    m_ended = true;
    m_line({});
}

EInOutError ViewerOpenError(int errorNumber, bool parentMissing)
{
    switch (errorNumber) {
    case ENOENT:
        if (parentMissing)
            return EInOutError(errorNumber, "Viewer: path not found or invalid file name");
        return EInOutError(errorNumber, "Viewer: file not found");
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return EInOutError(errorNumber, "Viewer: path not found or invalid file name");
    case EMFILE:
    case ENFILE:
        return EInOutError(errorNumber, "Viewer: too many open files");
    case EACCES:
    case EPERM:
    case EISDIR:
        return EInOutError(errorNumber, "Viewer: file access denied");
    default:
        return EInOutError(errorNumber, "Viewer triggered I/O error " + std::to_string(errorNumber));
    }
}

std::int64_t LoadTextFile(const std::string& path, TVwrStringList& lines)
{
    lines.Clear();
    TextLineSplitter splitter(lines);
    try {
        return ReadInto(path, -1, splitter);
    } catch (...) {
        lines.Clear();
        throw;
    }
}

std::vector<std::string> ReadWholeLines(const std::string& path, std::int64_t size, int first, int last)
{
    std::vector<std::string> lines;
    int line = 0;
    TextLineSplitter splitter([&](std::string_view text) {
        if (line >= first && line <= last)
            lines.emplace_back(text);
        ++line;
    });
    ReadInto(path, size, splitter);
    return lines;
}
