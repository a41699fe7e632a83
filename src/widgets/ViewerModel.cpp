// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ViewerModel.h"

#include "widgets/ViewerColumns.h"
#include "widgets/ViewerLineSource.h"

#include <algorithm>
#include <string_view>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

int Clamp(long long value, int low, int high)
{
    return static_cast<int>(std::clamp<long long>(value, low, std::max(low, high)));
}

} // namespace

ViewerModel::ViewerModel(ViewerLineSource& lines) : m_lines(lines)
{
    m_state.Bookmarks.fill(ViewerPos{-1, -1});
}

void ViewerModel::SetPageSize(int rows, int columns)
{
    m_rows = std::max(1, rows);
    m_columns = std::max(1, columns);
}

int ViewerModel::LineCount() const
{
    return m_lines.LineCount();
}

int ViewerModel::LargestTopLine() const
{
    return std::max(m_lines.LineCount() - m_rows, 0);
}

void ViewerModel::SetTabs(int tabSize, bool expandTabs)
{
    m_tabSize = std::max(1, tabSize);
    m_expandTabs = expandTabs;
    m_state.CaretColumn =
        DisplayColumn(m_lines.Line(m_state.Caret.Line), m_state.Caret.Char, m_tabSize, m_expandTabs);
}

void ViewerModel::Reset()
{
    m_state = ViewerState{};
    m_state.Bookmarks.fill(ViewerPos{-1, -1});
}

int ViewerModel::LineLength(int line)
{
    return static_cast<int>(m_lines.Line(line).size());
}

void ViewerModel::CollapseAtCaret()
{
    m_state.HighlightStart = m_state.HighlightEnd = m_state.Anchor = m_state.Caret;
}

void ViewerModel::MoveCaret(int deltaChar, int deltaLine, bool absolute, bool extend, bool keepRow)
{
    const int count = m_lines.LineCount();
    if (count == 0)
        return;
    ViewerState& s = m_state;
    const ViewerPos oldCaret = s.Caret;
    const int oldLeft = s.LeftColumn;

    const int newLine = Clamp(absolute ? deltaLine : 1LL * s.Caret.Line + deltaLine, 0, count - 1);
    if (!absolute && deltaChar == 0 && deltaLine != 0 && newLine == s.Caret.Line)
        return;
    const bool lineChanged = newLine != s.Caret.Line;
    s.Caret.Line = newLine;
    const std::string_view line = m_lines.Line(newLine);
    // A vertical move keeps the screen column, not the byte offset.
    if (lineChanged && !absolute)
        s.Caret.Char = CharAtColumn(line, s.CaretColumn, m_tabSize, m_expandTabs);
    const int wanted =
        Clamp(absolute ? deltaChar : 1LL * s.Caret.Char + deltaChar, 0, static_cast<int>(line.size()));
    s.Caret.Char = CharStart(line, wanted);
    s.CaretColumn = DisplayColumn(line, s.Caret.Char, m_tabSize, m_expandTabs);

    const bool outside = s.Caret.Line < s.TopLine || s.Caret.Line > s.TopLine + m_rows - 1 ||
                         s.CaretColumn < s.LeftColumn || s.CaretColumn > s.LeftColumn + m_columns - 1;
    if (keepRow || outside) {
        int top = s.TopLine;
        if (keepRow)
            top = s.Caret.Line - (oldCaret.Line - s.TopLine);
        else if (s.Caret.Line < s.TopLine)
            top = s.Caret.Line;
        else if (s.Caret.Line > s.TopLine + m_rows - 1)
            top = s.Caret.Line - (m_rows - 1);
        int left = s.LeftColumn;
        if (left > s.CaretColumn)
            left = 0;
        if (s.CaretColumn > left + m_columns - 1)
            left = s.CaretColumn - (m_columns - 1);
        ScrollTo(left, std::max(0, top));
    }

    const bool collapsedAtCaret = s.HighlightStart == s.Caret && s.HighlightEnd == s.Caret;
    if (s.Caret == oldCaret && s.LeftColumn == oldLeft && (extend || collapsedAtCaret))
        return;
    if (extend) {
        s.HighlightStart = std::min(s.Anchor, s.Caret);
        s.HighlightEnd = std::max(s.Anchor, s.Caret);
    } else {
        CollapseAtCaret();
    }
}

void ViewerModel::MoveCaretTo(int line, int character, bool extend)
{
    MoveCaret(character, line, true, extend, false);
}

void ViewerModel::MoveCharacters(int direction, bool extend)
{
    const ViewerPos caret = m_state.Caret;
    if (direction < 0 && caret.Char == 0 && caret.Line > 0)
        MoveCaretTo(caret.Line - 1, LineLength(caret.Line - 1), extend);
    else if (direction > 0 && caret.Char >= LineLength(caret.Line) && caret.Line < m_lines.LineCount() - 1)
        MoveCaretTo(caret.Line + 1, 0, extend);
    else
        MoveCaretTo(caret.Line, NextCharOffset(m_lines.Line(caret.Line), caret.Char, direction), extend);
}

void ViewerModel::MoveWord(int direction, bool extend)
{
    const int line = m_state.Caret.Line;
    int pos = m_state.Caret.Char;
    const std::string_view text = m_lines.Line(line);
    const int length = static_cast<int>(text.size());
    const auto blank = [&](int i) { return IsBlank(text[static_cast<std::size_t>(i)]); };
    if (direction > 0) {
        if (pos >= length && line < m_lines.LineCount() - 1) {
            MoveCaretTo(line + 1, 0, extend);
            return;
        }
        while (pos < length && !blank(pos))
            ++pos;
        while (pos < length && blank(pos))
            ++pos;
    } else {
        if (pos == 0 && line > 0) {
            MoveCaretTo(line - 1, LineLength(line - 1), extend);
            return;
        }
        while (pos > 0 && blank(pos - 1))
            --pos;
        while (pos > 0 && !blank(pos - 1))
            --pos;
    }
    MoveCaretTo(line, pos, extend);
}

void ViewerModel::Scroll(int deltaColumns, int deltaLines)
{
    ScrollTo(Clamp(1LL * m_state.LeftColumn + deltaColumns, 0, kMaxLeftColumn),
             Clamp(1LL * m_state.TopLine + deltaLines, 0, LargestTopLine()));
}

void ViewerModel::ScrollTo(int leftColumn, int topLine)
{
    m_state.LeftColumn = std::clamp(leftColumn, 0, kMaxLeftColumn);
    m_state.TopLine = std::clamp(topLine, 0, LargestTopLine());
}

void ViewerModel::SetHighlight(int startLine, int startChar, int endLine, int endChar, bool caretAtEnd)
{
    CollapseAtCaret();
    if (caretAtEnd) {
        MoveCaretTo(startLine, startChar, false);
        MoveCaretTo(endLine, endChar, true);
    } else {
        MoveCaretTo(endLine, endChar, false);
        MoveCaretTo(startLine, startChar, true);
    }
}

void ViewerModel::SelectLines(int anchorLine, int line)
{
    if (line >= anchorLine)
        SetHighlight(anchorLine, 0, line, LineLength(line), true);
    else
        SetHighlight(line, 0, anchorLine, LineLength(anchorLine), false);
}

void ViewerModel::SelectWordAt(const ViewerPos& pos)
{
    const std::string_view text = m_lines.Line(pos.Line);
    const int length = static_cast<int>(text.size());
    const auto blank = [&](int i) { return IsBlank(text[static_cast<std::size_t>(i)]); };
    int start = std::clamp(pos.Char, 0, length);
    if (start == length || blank(start)) {
        while (start > 0 && blank(start - 1))
            --start;
    }
    while (start > 0 && !blank(start - 1))
        --start;
    int end = start;
    while (end < length && !blank(end))
        ++end;
    while (end < length && blank(end))
        ++end;
    SetHighlight(pos.Line, start, pos.Line, end, true);
}

void ViewerModel::ToggleBookmark(int n)
{
    if (n < 0 || n > 9 || m_lines.LineCount() == 0)
        return;
    ViewerPos& mark = m_state.Bookmarks[static_cast<std::size_t>(n)];
    mark = mark == m_state.Caret ? ViewerPos{-1, -1} : m_state.Caret;
}

ViewerPos ViewerModel::PositionAt(int column, int line)
{
    line = std::clamp(line, 0, std::max(0, m_lines.LineCount() - 1));
    return ViewerPos{line, CharAtColumn(m_lines.Line(line), column, m_tabSize, m_expandTabs)};
}

std::optional<std::string> ViewerModel::HighlightedText(std::size_t limit)
{
    const ViewerPos start = m_state.HighlightStart;
    const ViewerPos end = m_state.HighlightEnd;
    std::string text;
    for (int line = start.Line; line <= end.Line && line < m_lines.LineCount(); ++line) {
        const std::string_view chars = m_lines.Line(line);
        const std::size_t from =
            line == start.Line ? std::min<std::size_t>(static_cast<std::size_t>(start.Char), chars.size())
                               : 0;
        const std::size_t to = line == end.Line
                                   ? std::min<std::size_t>(static_cast<std::size_t>(end.Char), chars.size())
                                   : chars.size();
        if (line != start.Line)
            text += "\r\n";
        if (to > from)
            text.append(chars.substr(from, to - from));
        if (text.size() >= limit)
            return std::nullopt;
    }
    return text;
}
