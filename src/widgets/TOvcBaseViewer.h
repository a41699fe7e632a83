// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/OvcTypes.h"
#include "widgets/TOvcBase.h"
#include "widgets/TOvcColors.h"
#include "widgets/TOvcFixedFont.h"

#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class QPainter;

// A position in the text: line index and character offset within the line (0 ... line length).
struct ViewerPos
{
    int Line = 0;
    int Char = 0;
    friend auto operator<=>(const ViewerPos&, const ViewerPos&) = default;
};

// Search options, a set of flags.
enum SearchOption : unsigned
{
    sfFind = 1,
    sfBackward = 2,
    sfMatchCase = 4,
    sfEntireText = 8,
};

// A read-only text view in a fixed-pitch font with a left margin, a highlighted range, an optional
// caret, mouse selection and a string search. The lines come from GetLinePtr; a subclass supplies them
// and sets LineCount, which resets the view. Lines are bytes; the screen decodes them as UTF-8.
class TOvcBaseViewer : public TOvcBase
{
public:
    static constexpr int kMarginWidth = 16;
    static constexpr int kMaxLeftColumn = 512;

    explicit TOvcBaseViewer(QWidget* parent = nullptr);

    // The characters and length of a line; an empty text outside 0 ... LineCount-1.
    virtual const char* GetLinePtr(int line, int& length) = 0;
    virtual int ClampLine(int line) { return line; }
    // Finds s from the caret (or the whole text with sfEntireText), highlights the match and moves the
    // caret to its end (forward) or start (backward). False, with nothing changed, when there is no
    // match or s is empty. Case-insensitive unless sfMatchCase; matches never span lines.
    virtual bool Search(const std::string& s, unsigned options);

    int LineCount() const { return m_lineCount; }
    std::string_view Line(int line);

    // Copies line as it would be printed: tabs expanded whenever the line holds one, at most destLength
    // characters, control characters replaced by the default character. Empty for an absent line.
    std::string GetPrintableLine(int line, int destLength);

    void MoveCaret(int deltaChar, int deltaLine, bool absolute, bool extend, bool keepRow);
    void MoveCaretTo(int line, int character, bool extend);
    void Scroll(int deltaColumns, int deltaLines);
    // Highlights start ... end and puts the caret (and the view) at the end, or at the start.
    void SetHighlight(int startLine, int startChar, int endLine, int endChar, bool caretAtEnd);
    // The highlighted text, lines joined by CR LF.
    std::string HighlightedText();
    // Puts the highlighted text on the clipboard. Throws ERegionTooLarge for 65521 bytes or more.
    void CopyToClipboard();

    ViewerPos Caret() const { return {m_caretLine, m_caretChar}; }
    int CaretColumn() const { return m_caretColumn; }
    ViewerPos HighlightStart() const { return m_highlightStart; }
    ViewerPos HighlightEnd() const { return m_highlightEnd; }
    bool HasHighlight() const { return m_highlightStart != m_highlightEnd; }
    int TopLine() const { return m_topLine; }
    int LeftColumn() const { return m_leftColumn; }
    int RowHeight() const { return m_rowHeight; }
    // Rounded; columns are placed on the font's exact (fractional) advance.
    int CharWidth() const { return m_charWidth; }
    qreal CharAdvance() const { return m_charAdvance; }
    int VisibleRows() const { return m_visibleRows; }
    int VisibleColumns() const { return m_visibleColumns; }
    int LargestTopLine() const { return std::max(m_lineCount - m_visibleRows, 0); }
    bool IsBusy() const { return m_busy; }
    // Bookmark n (0 ... 9), Line -1 when unset.
    ViewerPos Bookmark(int n) const { return m_bookmarks.at(static_cast<std::size_t>(n)); }
    void ToggleBookmark(int n);
    // The screen position of a point of the viewport, as the mouse uses it.
    ViewerPos PositionAtPoint(const QPoint& point);

    TOvcFixedFont& FixedFont() { return m_fixedFont; }
    TOvcColors& HighlightColors() { return m_highlightColors; }
    const OvcColor& MarginColor() const { return m_marginColor; }
    void SetMarginColor(const OvcColor& color);
    bool ExpandTabs() const { return m_expandTabs; }
    void SetExpandTabs(bool expand);
    int TabSize() const { return m_tabSize; }
    // 0 is refused.
    void SetTabSize(std::uint8_t size);
    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(TScrollStyle bars);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);
    bool ShowBookmarks() const { return m_showBookmarks; }
    void SetShowBookmarks(bool show);
    bool ShowCaret() const { return m_showCaret; }
    void SetShowCaret(bool show);

    std::function<void(TOvcBaseViewer* sender, int lineNum, int colNum)> OnShowStatus;
    std::function<void(TOvcBaseViewer* sender, int line)> OnTopLineChanged;
    std::function<void(TOvcBaseViewer* sender, std::uint16_t command)> OnUserCommand;

protected:
    // Resets the view: caret and highlight to (0, 0), top left, bookmarks cleared.
    void SetLineCount(int count);

    // Shows the busy cursor while alive; nests.
    class BusyCursor
    {
    public:
        explicit BusyCursor(TOvcBaseViewer& viewer);
        ~BusyCursor();
        BusyCursor(const BusyCursor&) = delete;
        BusyCursor& operator=(const BusyCursor&) = delete;

    private:
        TOvcBaseViewer& m_viewer;
        bool m_outer;
    };

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void RecalcMetrics();
    void UpdateScrollBars();
    void OnVerticalAction(int action);
    void OnHorizontalAction(int action);
    void ScrollTo(int leftColumn, int topLine);
    bool HandleCommandCaretOff(std::uint16_t command);
    bool HandleCommandCaretOn(std::uint16_t command);
    // Commands that act the same with and without a caret.
    bool HandleCommonCommand(std::uint16_t command);
    void MoveCharacters(int delta, bool extend);
    void MoveWord(int direction, bool extend);
    // Highlights whole lines from anchorLine to line, the caret at the end of line's side.
    void SelectLines(int anchorLine, int line);
    void TrackMouse();
    void SelectWordAt(const ViewerPos& pos);
    void RepaintLines(int first, int last);
    void PlaceCaret();
    void PostStatus();
    int LineLength(int line);
    // The x of a display column counted from LeftColumn.
    qreal ColumnX(int visibleColumn) const { return kMarginWidth + visibleColumn * m_charAdvance; }
    QRect CaretRect() const;
    void DrawRow(QPainter& painter, int row, const QRect& clip);
    std::string DisplayBytes(std::string_view line) const;

    TBorderStyle m_borderStyle = TBorderStyle::bsSingle;
    bool m_expandTabs = true;
    TOvcFixedFont m_fixedFont;
    TOvcColors m_highlightColors;
    OvcColor m_marginColor = clWindow;
    TScrollStyle m_scrollBars = TScrollStyle::ssBoth;
    bool m_showBookmarks = true;
    bool m_showCaret = true;
    int m_tabSize = 8;
    int m_caretColumn = 0;
    int m_caretLine = 0;
    int m_caretChar = 0;
    int m_lineCount = 0;
    std::array<ViewerPos, 10> m_bookmarks;
    int m_topLine = 0;
    ViewerPos m_selectionAnchor;
    int m_visibleColumns = 1;
    int m_charWidth = 12;
    qreal m_charAdvance = 12;
    int m_verticalScale = 1;
    ViewerPos m_highlightStart;
    ViewerPos m_highlightEnd;
    int m_leftColumn = 0;
    bool m_marginMode = false;
    int m_rowHeight = 12;
    int m_visibleRows = 1;
    int m_busyDepth = 0;
    bool m_busy = false;

    bool m_mouseDown = false;
    bool m_mouseInMargin = false; // the press was in the margin: whole lines are selected
    int m_marginAnchorLine = 0;
    QPoint m_lastMousePos;
    QTimer m_trackTimer; // keeps extending while the mouse rests outside the text
    bool m_statusPending = false;
};
