// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/OvcMouseTracker.h"
#include "widgets/OvcTypes.h"
#include "widgets/RowMarks.h"
#include "widgets/ShiftRange.h"
#include "widgets/TOvcBase.h"
#include "widgets/TOvcColors.h"
#include "widgets/WheelAccumulator.h"

#include <QString>

#include <cstdint>
#include <functional>

class QPainter;

// A list that stores nothing per item: it knows NumItems and asks its owner, through OnGetItem and
// OnGetItemStatus, for the text and protection of each row it paints. Up to 2147483647 items; the
// vertical scroll bar is scaled so that its positions stay within 16 bits.
//
// Indexes are 0-based, -1 meaning none. OnClick fires after every ItemIndex change that is not part of
// a mouse press (keys, NumItems) and when the mouse capture of a press in the list ends: on a release
// inside the list, and on a release elsewhere or a lost one (a popup or a modal window took it, the
// list lost the focus) when the row changed during the press. ItemIndex then names the selected row.
//
// In multi-select mode rows can also be marked, beside the one current row (ItemIndex): Ctrl+click toggles
// the row under the mouse and makes it the current row as a plain click does, Shift+click and Shift with
// Up, Down, Home, End, Page Up or Page Down move the current row and mark from AnchorIndex to it, Space
// toggles the current row. While Shift keeps moving the same range, rows it leaves get back the marks they
// had before. A plain click or move only moves the current row and keeps every mark. A protected row is
// never marked.
class TOvcCustomVirtualListBox : public TOvcBase
{
public:
    explicit TOvcCustomVirtualListBox(QWidget* parent = nullptr);

    int NumItems() const { return m_numItems; }
    // A negative count means 2147483647. A changed count clears every mark, selects item 0 (or none when
    // empty), scrolls to the top and the first column, and so fires OnClick when the selection changed.
    void SetNumItems(int value);
    int LastIndex() const { return m_lastIndex; }

    int ItemIndex() const { return m_itemIndex; }
    virtual void SetItemIndex(int value);
    int TopIndex() const { return m_topIndex; }
    virtual void SetTopIndex(int value);
    int FocusIndex() const { return m_focusIndex; }
    int AnchorIndex() const { return m_anchorIndex; }
    // True from a press of the primary button in the list until the tracking that follows it ends.
    bool MouseCaptured() const { return m_mouseCaptured; }

    const QString& Header() const { return m_header; }
    void SetHeader(const QString& header);
    bool ShowHeader() const { return m_showHeader; }
    void SetShowHeader(bool show);

    // Off by default. On, a narrow column at the left of every row shows a check mark on marked rows, and
    // the rows and the header are shifted right by its width; off again clears the marks.
    bool MultiSelect() const { return m_multiSelect; }
    void SetMultiSelect(bool on);

    // The marks (none outside multi-select mode): Count(), IsMarked(row), NextMarked(row) to walk them in
    // order. The changes below do nothing outside multi-select mode, never mark a protected row, repaint
    // the rows in view and fire OnMarksChanged once when a mark changed.
    const RowMarks& Marks() const { return m_marks; }
    bool IsMarked(int index) const { return m_marks.IsMarked(index); }
    void SetMarked(int index, bool marked) { SetRangeMarked(index, index, marked); }
    // The items first ... last, in either order, cut to the list; asks OnGetItemStatus for each when
    // marking.
    void SetRangeMarked(int first, int last, bool marked);
    void ClearMarks() { SetRangeMarked(0, m_lastIndex, false); }

    TOvcColors& HeaderColor() { return m_headerColor; }
    TOvcColors& ProtectColor() { return m_protectColor; }
    TOvcColors& SelectColor() { return m_selectColor; }

    int RowHeight() const { return m_rowHeight; }
    // Turns AutoRowHeight off.
    void SetRowHeight(int height);
    bool AutoRowHeight() const { return m_autoRowHeight; }
    void SetAutoRowHeight(bool autoHeight);

    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(TScrollStyle bars);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);

    // Largest ColumnOffset: how many leading characters the horizontal bar can scroll out of view.
    int Columns() const { return m_columns; }
    void SetColumns(std::uint8_t columns);
    int ColumnOffset() const { return m_columnOffset; }
    void SetColumnOffset(int offset);

    int VisibleRows() const { return m_visibleRows; }
    int ScrollScale() const { return m_scrollScale; }
    int ScrollRange() const { return m_scrollRange; }
    // The item under a point of the viewport; may be past LastIndex below the last row.
    int ItemAtPoint(const QPoint& point) const;
    // The row rectangle of an item, or an empty rectangle when it is not visible.
    QRect ItemRect(int index) const;
    // The text a row shows: the owner's text cut to 255 characters (not yet scrolled horizontally).
    QString ItemText(int index);
    bool IsItemProtected(int index);

    // Owner callbacks and notifications; the sender is the list box.
    std::function<void(TOvcCustomVirtualListBox* sender, int index, QString& itemString)> OnGetItem;
    std::function<void(TOvcCustomVirtualListBox* sender, int index, bool& protect)> OnGetItemStatus;
    std::function<void(TOvcCustomVirtualListBox* sender, int index, QColor& fg, QColor& bg)> OnGetItemColor;
    std::function<void(TOvcCustomVirtualListBox* sender, char ch, int& index)> OnCharToItem;
    std::function<void(TOvcCustomVirtualListBox* sender, const QPoint& point)> OnClickHeader;
    std::function<void(TOvcCustomVirtualListBox* sender, int newTopIndex)> OnTopIndexChanged;
    std::function<void(TOvcCustomVirtualListBox* sender, std::uint16_t command)> OnUserCommand;
    std::function<void(TOvcCustomVirtualListBox* sender)> OnClick;
    std::function<void(TOvcCustomVirtualListBox* sender)> OnDblClick;
    // After any change of the marks, also by a new NumItems.
    std::function<void(TOvcCustomVirtualListBox* sender)> OnMarksChanged;

protected:
    virtual QString DoOnGetItem(int index);
    virtual bool DoOnGetItemStatus(int index);
    virtual void DoOnGetItemColor(int index, QColor& fg, QColor& bg);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
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
    void MetricsChanged(); // metrics, scroll bars and a repaint
    void UpdateScrollBars();
    void UpdateVerticalBar();
    void UpdateHorizontalBar();
    void OnVerticalAction(int action);
    void OnHorizontalAction(int action);
    // Brings the view to wherever the bars' values were set (thumb, wheel, the bars' own menu).
    void FollowScrollBars();
    bool HasHorizontalBar() const;
    void ScrollBy(int delta);
    void HandleCommand(std::uint16_t command);
    // The item a move command (or its Shift form) goes to; ItemIndex when it stays.
    int MoveTarget(std::uint16_t command) const;
    // Marks from AnchorIndex to index; rows the range covered before and covers no more get back the
    // marks they had before the range began.
    void ExtendRangeTo(int index);
    void SetAnchor(int index);
    void ToggleMark(int index);
    // Repaints the rows of first ... last that are in view, tells a screen reader, fires OnMarksChanged.
    void MarksChanged(int first, int last);
    int CheckColumnWidth() const { return m_multiSelect ? m_rowHeight : 0; }
    void TrackMouse(const QPoint& point);
    // The press is over: OnClick when it ended inside the list or moved the current row.
    void EndCapture(bool releasedInside);
    void RepaintItem(int index);
    void DrawHeader(QPainter& painter);
    void DrawItem(QPainter& painter, int index, int rowPosition, const QRect& clip);
    int HeaderRows() const { return m_showHeader ? 1 : 0; }

    int m_itemIndex = -1;
    bool m_autoRowHeight = true;
    TBorderStyle m_borderStyle = TBorderStyle::bsSingle;
    int m_columns = 255;
    QString m_header;
    TOvcColors m_headerColor;
    int m_numItems = 2147483647;
    TOvcColors m_protectColor;
    int m_rowHeight = 17;
    TScrollStyle m_scrollBars = TScrollStyle::ssVertical;
    TOvcColors m_selectColor;
    bool m_showHeader = false;
    int m_topIndex = 0;
    int m_anchorIndex = 0;
    int m_scrollScale = 1;
    int m_focusIndex = 0;
    int m_columnOffset = 0;
    int m_lastIndex = 2147483646;
    int m_visibleRows = 1;
    int m_scrollRange = 1;
    QString m_itemBuffer; // reused for every row painted

    bool m_multiSelect = false;
    RowMarks m_marks;
    ShiftRange m_shiftRange;     // the Shift range now being moved, if any
    bool m_pressExtends = false; // the press held Shift: tracking marks from the anchor

    bool m_mouseCaptured = false; // primary button pressed inside the list and not yet released
    bool m_tracking = false;      // selection follows the mouse while the button is held
    int m_captureStartIndex = -1; // ItemIndex when the press began
    OvcMouseTracker m_tracker;    // keeps scrolling while the mouse rests above or below the rows
    WheelAccumulator m_wheel;
    bool m_updatingBars = false;
};
