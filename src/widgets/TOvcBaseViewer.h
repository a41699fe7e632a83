// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/OvcMouseTracker.h"
#include "widgets/OvcTypes.h"
#include "widgets/TOvcBase.h"
#include "widgets/TOvcColors.h"
#include "widgets/TOvcFixedFont.h"
#include "widgets/ViewerLineSource.h"
#include "widgets/ViewerModel.h"
#include "widgets/ViewerTypes.h"
#include "widgets/WheelAccumulator.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// A read-only text view in a fixed-pitch font with a left margin, a highlighted range, an optional
// caret, mouse selection and a string search. The lines come from GetLinePtr; a subclass supplies them
// and sets LineCount, which resets the view. Lines are bytes; the screen decodes them as UTF-8 and its
// columns count characters, while positions (caret, highlight, search) stay byte offsets.
//
// The caret, highlight and scrolling live in a ViewerModel, key commands and the search are plain
// functions over it; this class paints, takes the events and keeps the scroll bars in step.
class TOvcBaseViewer : public TOvcBase, public ViewerLineSource
{
public:
    static constexpr int kMarginWidth = 16;
    static constexpr int kMaxLeftColumn = ViewerModel::kMaxLeftColumn;

    explicit TOvcBaseViewer(QWidget* parent = nullptr);

    // The characters and length of a line; an empty text outside 0 ... LineCount-1.
    virtual const char* GetLinePtr(int line, int& length) = 0;
    virtual int ClampLine(int line) { return line; }
    // Finds s from the caret (or the whole text with sfEntireText), highlights the match and moves the
    // caret to its end (forward) or start (backward). False, with nothing changed, when there is no
    // match or s is empty. Case-insensitive unless sfMatchCase; matches never span lines.
    virtual bool Search(const std::string& s, unsigned options);

    int LineCount() const override { return m_lineCount; }
    std::string_view Line(int line) override;

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
    // Puts the highlighted text on the clipboard. Throws ERegionTooLarge for 65521 bytes or more,
    // without reading the lines past that limit.
    void CopyToClipboard();

    ViewerPos Caret() const { return m_model.State().Caret; }
    int CaretColumn() const { return m_model.State().CaretColumn; }
    ViewerPos HighlightStart() const { return m_model.State().HighlightStart; }
    ViewerPos HighlightEnd() const { return m_model.State().HighlightEnd; }
    bool HasHighlight() const { return m_model.HasHighlight(); }
    int TopLine() const { return m_model.State().TopLine; }
    int LeftColumn() const { return m_model.State().LeftColumn; }
    int RowHeight() const { return m_rowHeight; }
    // Rounded; columns are placed on the font's exact (fractional) advance.
    int CharWidth() const { return m_charWidth; }
    qreal CharAdvance() const { return m_charAdvance; }
    int VisibleRows() const { return m_model.VisibleRows(); }
    int VisibleColumns() const { return m_model.VisibleColumns(); }
    int LargestTopLine() const { return m_model.LargestTopLine(); }
    bool IsBusy() const { return m_busy; }
    // True from a press of the primary button in the text until the tracking that follows it ends.
    bool MouseTracking() const { return m_tracker.IsActive(); }
    // Bookmark n (0 ... 9), Line -1 when unset.
    ViewerPos Bookmark(int n) const { return m_model.State().Bookmarks.at(static_cast<std::size_t>(n)); }
    void ToggleBookmark(int n);
    // The screen position of a point of the viewport, as the mouse uses it.
    ViewerPos PositionAtPoint(const QPoint& point);

    TOvcFixedFont& FixedFont() { return m_fixedFont; }
    TOvcColors& HighlightColors() { return m_highlightColors; }
    const OvcColor& MarginColor() const { return m_marginColor; }
    void SetMarginColor(const OvcColor& color);
    bool ExpandTabs() const { return m_model.ExpandTabs(); }
    void SetExpandTabs(bool expand);
    int TabSize() const { return m_model.TabSize(); }
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
    // Runs a change of the model, then scrolls, repaints and notifies as far as the state changed.
    void Change(const std::function<void(ViewerModel& model)>& change);
    void Changed(const ViewerState& before);
    void RecalcMetrics();
    void UpdateScrollBars();
    // Brings the view to wherever the bars' values were set (thumb, wheel, the bars' own menu).
    void FollowScrollBars();
    void OnVerticalAction(int action);
    void OnHorizontalAction(int action);
    void RunCommand(std::uint16_t command);
    void TrackMouseAt(const QPoint& point);
    // A highlight made with the mouse is done: it becomes the primary selection.
    void EndMouseSelection();
    void RepaintLines(int first, int last);
    void PostStatus();
    // The x of a display column counted from LeftColumn.
    qreal ColumnX(int visibleColumn) const { return kMarginWidth + visibleColumn * m_charAdvance; }
    QRect CaretRect(const ViewerState& state) const;
    void DrawMargin(QPainter& painter, int row, int line);

    int m_lineCount = 0;
    ViewerModel m_model;
    TBorderStyle m_borderStyle = TBorderStyle::bsSingle;
    TOvcFixedFont m_fixedFont;
    TOvcColors m_highlightColors;
    OvcColor m_marginColor = clWindow;
    TScrollStyle m_scrollBars = TScrollStyle::ssBoth;
    bool m_showBookmarks = true;
    bool m_showCaret = true;
    int m_charWidth = 12;
    qreal m_charAdvance = 12;
    int m_verticalScale = 1;
    bool m_marginMode = false;
    int m_rowHeight = 12;
    int m_busyDepth = 0;
    bool m_busy = false;
    bool m_updatingBars = false;

    OvcMouseTracker m_tracker;
    bool m_mouseInMargin = false; // the press was in the margin: whole lines are selected
    int m_marginAnchorLine = 0;
    WheelAccumulator m_wheel;
    bool m_statusPending = false;
};
