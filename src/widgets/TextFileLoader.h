// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/EOvcException.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TVwrStringList;

// Longest line the viewer keeps; the rest of a longer line is skipped.
inline constexpr std::size_t kMaxViewerLineLength = 1023;

// Splits text into lines the way the viewer reads a file: a line ends at CR, at CR LF and at a lone LF;
// a Ctrl+Z (26) ends the text; lines keep as many whole characters as fit in their first 1023 bytes
// (never half of a UTF-8 sequence). One more, empty, line is
// appended at the end, so text of N lines gives N + 1 and empty text gives 1. Fed in pieces of any size.
class TextLineSplitter
{
public:
    explicit TextLineSplitter(TVwrStringList& lines);
    // Hands every line whole to line, however long.
    explicit TextLineSplitter(std::function<void(std::string_view)> line)
        : m_line(std::move(line)), m_collected(std::string::npos)
    {}
    // Returns false once a Ctrl+Z has ended the text; later input is ignored.
    bool Feed(std::string_view chunk);
    void Finish();

private:
    void EndLine(std::string_view tail);

    std::function<void(std::string_view)> m_line;
    std::size_t m_collected; // bytes of a line kept, past which the rest is skipped
    std::string m_pending;   // start of a line that continues in the next piece
    bool m_inLine = false;
    bool m_afterCR = false;
    bool m_ended = false;
};

// The error of opening a file for the viewer, by errno: "Viewer: file not found" and its siblings.
// The error code is errno.
EInOutError ViewerOpenError(int errorNumber, bool parentMissing = false);

// Reads the file at path (bytes, as the filesystem spells it) into lines, which is cleared first: as
// much as it held when it was opened, however it grows meanwhile. Returns that size. Throws EInOutError when
// the file cannot be opened or read; lines is then empty.
std::int64_t LoadTextFile(const std::string& path, TVwrStringList& lines);

// Lines first to last (counted from 0) of the first size bytes of the file at path, whole however long,
// split as the viewer splits them; fewer when the file ends before last. Throws EInOutError as above.
std::vector<std::string> ReadWholeLines(const std::string& path, std::int64_t size, int first, int last);
