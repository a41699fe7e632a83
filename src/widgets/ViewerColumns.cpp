// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ViewerColumns.h"

#include "platform/Utf8.h"

#include <algorithm>

ViewerGridWalker::ViewerGridWalker(std::string_view line, int tabSize, bool expandTabs)
    : m_line(line), m_tabSize(tabSize), m_expandTabs(expandTabs && tabSize > 0)
{
    Read();
}

void ViewerGridWalker::Read()
{
    m_length = Utf8CharLength(m_line, m_offset);
    m_code = Utf8CharAt(m_line, m_offset);
    m_width = m_code == U'\t' && m_expandTabs ? m_tabSize - m_column % m_tabSize : 1;
}

void ViewerGridWalker::Next()
{
    if (AtEnd())
        return;
    m_offset += m_length;
    m_column += m_width;
    Read();
}

int DisplayColumn(std::string_view line, int offset, int tabSize, bool expandTabs)
{
    ViewerGridWalker walker(line, tabSize, expandTabs);
    while (!walker.AtEnd() && walker.Offset() + walker.Length() <= offset)
        walker.Next();
    return walker.Column();
}

int CharAtColumn(std::string_view line, int column, int tabSize, bool expandTabs)
{
    ViewerGridWalker walker(line, tabSize, expandTabs);
    while (!walker.AtEnd() && walker.Column() + walker.Width() <= column)
        walker.Next();
    return walker.Offset();
}

int CharStart(std::string_view line, int offset)
{
    ViewerGridWalker walker(line, 1, false);
    while (!walker.AtEnd() && walker.Offset() + walker.Length() <= offset)
        walker.Next();
    return walker.Offset();
}

int NextCharOffset(std::string_view line, int offset, int direction)
{
    ViewerGridWalker walker(line, 1, false);
    int previous = 0;
    while (!walker.AtEnd() && walker.Offset() + walker.Length() <= offset) {
        previous = walker.Offset();
        walker.Next();
    }
    if (direction < 0)
        return walker.Offset() < offset ? walker.Offset() : previous;
    walker.Next();
    return walker.Offset();
}

std::string ExpandTabStops(std::string_view line, int tabSize)
{
    std::string out;
    out.reserve(line.size() + 16);
    for (ViewerGridWalker walker(line, tabSize, true); !walker.AtEnd(); walker.Next()) {
        if (walker.Code() == U'\t' && tabSize > 0)
            out.append(static_cast<std::size_t>(walker.Width()), ' ');
        else
            out.append(line.substr(static_cast<std::size_t>(walker.Offset()),
                                   static_cast<std::size_t>(walker.Length())));
    }
    return out;
}

std::string PrintableLine(std::string_view line, int tabSize, int maxChars, char defaultChar)
{
    std::string out =
        line.find('\t') != std::string_view::npos ? ExpandTabStops(line, tabSize) : std::string(line);
    ViewerGridWalker walker(out, 1, false);
    for (int kept = 0; kept < maxChars && !walker.AtEnd(); ++kept)
        walker.Next();
    out.resize(static_cast<std::size_t>(walker.Offset()));
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20)
            c = defaultChar;
    return out;
}
