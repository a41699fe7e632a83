// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/ViewerTypes.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>

class ViewerLineSource;

// What the viewer shows besides the text: the caret, the highlight and the part of the text in view.
// A widget compares two of these to know what to scroll and repaint.
struct ViewerState
{
    ViewerPos Caret;
    int CaretColumn = 0;      // display column of the caret
    ViewerPos HighlightStart; // never after HighlightEnd; equal ends: no highlight
    ViewerPos HighlightEnd;
    ViewerPos Anchor;                      // the fixed end while the highlight is extended
    int TopLine = 0;                       // line in the first row
    int LeftColumn = 0;                    // first display column shown
    std::array<ViewerPos, 10> Bookmarks{}; // Line -1 when unset
    friend bool operator==(const ViewerState&, const ViewerState&) = default;
};

// The caret, highlight, scroll position and bookmarks of a read-only text view, and every movement
// of them, over the lines of a ViewerLineSource. Positions are byte offsets that always sit on a
// character boundary; columns count characters (see ViewerColumns.h).
class ViewerModel
{
public:
    static constexpr int kMaxLeftColumn = 512;

    explicit ViewerModel(ViewerLineSource& lines);

    const ViewerState& State() const { return m_state; }
    int LineCount() const;
    int LineLength(int line);
    bool HasHighlight() const { return m_state.HighlightStart != m_state.HighlightEnd; }

    // Whole rows and columns that fit in the text area, at least 1 each.
    void SetPageSize(int rows, int columns);
    int VisibleRows() const { return m_rows; }
    int VisibleColumns() const { return m_columns; }
    int LargestTopLine() const;
    void SetTabs(int tabSize, bool expandTabs);
    int TabSize() const { return m_tabSize; }
    bool ExpandTabs() const { return m_expandTabs; }

    // The text changed: caret, highlight and view back to the start, bookmarks cleared.
    void Reset();

    // Every caret movement: relative or absolute, extending the highlight from its anchor or
    // collapsing it at the caret, keeping the caret on its screen row (keepRow) or scrolling only as
    // far as needed to show it.
    void MoveCaret(int deltaChar, int deltaLine, bool absolute, bool extend, bool keepRow);
    void MoveCaretTo(int line, int character, bool extend);
    // One character left or right, across line ends.
    void MoveCharacters(int direction, bool extend);
    // To the start of the previous or the next blank-separated word, across line ends.
    void MoveWord(int direction, bool extend);
    void Scroll(int deltaColumns, int deltaLines);
    void ScrollTo(int leftColumn, int topLine);
    // Highlights start ... end with the caret (and the view) at the end, or at the start.
    void SetHighlight(int startLine, int startChar, int endLine, int endChar, bool caretAtEnd);
    // Whole lines from anchorLine to line, the caret on line's side.
    void SelectLines(int anchorLine, int line);
    // The word at pos (on a blank, the word before it) with the blanks and tabs after it.
    void SelectWordAt(const ViewerPos& pos);
    void ToggleBookmark(int n);

    // The position of a cell of the grid: line clamped to the text, the character covering column.
    ViewerPos PositionAt(int column, int line);
    // The highlighted text, lines joined by CR LF; nothing when it would take limit bytes or more,
    // found without reading further than that.
    std::optional<std::string> HighlightedText(std::size_t limit);

private:
    void CollapseAtCaret();

    ViewerLineSource& m_lines;
    ViewerState m_state;
    int m_rows = 1;
    int m_columns = 1;
    int m_tabSize = 8;
    bool m_expandTabs = true;
};
