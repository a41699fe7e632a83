// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ViewerColumns.h"

#include <algorithm>

int DisplayColumn(std::string_view line, int charIndex, int tabSize, bool expandTabs)
{
    const int end = std::clamp(charIndex, 0, static_cast<int>(line.size()));
    if (!expandTabs || tabSize <= 0)
        return end;
    int column = 0;
    for (int i = 0; i < end; ++i)
        column = line[static_cast<std::size_t>(i)] == '\t' ? (column / tabSize + 1) * tabSize : column + 1;
    return column;
}

int CharAtColumn(std::string_view line, int column, int tabSize, bool expandTabs)
{
    const int length = static_cast<int>(line.size());
    if (!expandTabs || tabSize <= 0)
        return std::clamp(column, 0, length);
    int current = 0;
    for (int i = 0; i < length; ++i) {
        const int next =
            line[static_cast<std::size_t>(i)] == '\t' ? (current / tabSize + 1) * tabSize : current + 1;
        if (column < next)
            return i;
        current = next;
    }
    return length;
}

std::string ExpandTabStops(std::string_view line, int tabSize)
{
    std::string out;
    out.reserve(line.size() + 16);
    for (char c : line) {
        if (c == '\t' && tabSize > 0)
            out.append(static_cast<std::size_t>(tabSize - static_cast<int>(out.size()) % tabSize), ' ');
        else
            out.push_back(c);
    }
    return out;
}
