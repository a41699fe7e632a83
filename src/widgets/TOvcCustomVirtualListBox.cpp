// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TOvcCustomVirtualListBox.h"

#include "widgets/OvcAccessibility.h"
#include "widgets/OvcCommands.h"
#include "widgets/ThumbScale.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <climits>

namespace {

constexpr int kMaxItemLength = 255;
constexpr int kTextIndent = 2;

QString CutToItemLength(const QString& text)
{
    if (text.size() <= kMaxItemLength)
        return text;
    // Never leave half of a surrogate pair at the end.
    int length = kMaxItemLength;
    if (text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
}

void DrawCheckMark(QPainter& painter, const QRect& cell, const QColor& color)
{
    const qreal size = cell.height();
    const QPointF origin = cell.topLeft();
    QPainterPath path(origin + QPointF(0.25 * size, 0.52 * size));
    path.lineTo(origin + QPointF(0.43 * size, 0.72 * size));
    path.lineTo(origin + QPointF(0.78 * size, 0.28 * size));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, std::max(1.5, size / 9), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
    painter.restore();
}

} // namespace

TOvcCustomVirtualListBox::TOvcCustomVirtualListBox(QWidget* parent)
    : TOvcBase(parent), m_headerColor(clBtnFace, clBtnText), m_protectColor(clRed, clWhite),
      m_selectColor(clHighlight, clHighlightText),
      m_tracker([this](const QPoint& point) { TrackMouse(point); }, [this] { EndCapture(false); })
{
    InstallOvcAccessibleFactory();
    const auto repaint = [this] { viewport()->update(); };
    m_headerColor.SetOnChange(repaint);
    m_protectColor.SetOnChange(repaint);
    m_selectColor.SetOnChange(repaint);

    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setBackgroundRole(QPalette::Base);
    resize(100, 150);
    SetScrollBars(m_scrollBars);
    SetBorderStyle(m_borderStyle);

    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            &TOvcCustomVirtualListBox::OnVerticalAction);
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            &TOvcCustomVirtualListBox::OnHorizontalAction);

    m_lastIndex = m_numItems - 1;
    m_focusIndex = 0;
    m_marks.Reset(m_numItems);
    RecalcMetrics();
    UpdateScrollBars();
}

void TOvcCustomVirtualListBox::SetNumItems(int value)
{
    if (value < 0)
        value = INT_MAX;
    if (value == m_numItems)
        return;
    m_numItems = value;
    m_lastIndex = value - 1;
    m_columnOffset = 0;
    const bool hadMarks = m_marks.Count() > 0;
    m_marks.Reset(value);
    SetAnchor(0);
    if (hadMarks && OnMarksChanged)
        OnMarksChanged(this);
    SetItemIndex(0);
    SetTopIndex(0);
    viewport()->update();
    UpdateScrollBars();
    if (QAccessible::isActive()) {
        QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&event);
    }
}

void TOvcCustomVirtualListBox::SetItemIndex(int value)
{
    if (value < 0)
        value = -1;
    if (value > m_lastIndex)
        value = m_lastIndex;
    if (value == m_itemIndex)
        return;
    RepaintItem(m_itemIndex);
    m_itemIndex = value;

    if (value >= 0 && value < m_topIndex)
        SetTopIndex(value);
    else if (value > m_topIndex + m_visibleRows - 1)
        SetTopIndex(std::max(0, value - (m_visibleRows - 1)));
    if (value >= 0) {
        RepaintItem(m_focusIndex);
        m_focusIndex = value;
    }
    RepaintItem(value);
    if (QAccessible::isActive() && value >= 0 && value >= m_topIndex && value < m_topIndex + m_visibleRows) {
        // Rows are the list's children in screen order; the header, when shown, is child 0.
        QAccessibleEvent event(this, QAccessible::Selection);
        event.setChild(value - m_topIndex + HeaderRows());
        QAccessible::updateAccessibility(&event);
    }
    if (!m_mouseCaptured && OnClick)
        OnClick(this);
}

void TOvcCustomVirtualListBox::SetTopIndex(int value)
{
    if (value == m_topIndex || value < 0 || value > m_lastIndex)
        return;
    value = std::max(0, std::min(value, m_lastIndex - m_visibleRows + 1));
    if (value == m_topIndex)
        return;
    const int old = m_topIndex;
    m_topIndex = value;
    UpdateVerticalBar();
    // Moving the pixels is cheaper than asking the owner for every row again on a short scroll.
    const long long distance = static_cast<long long>(old) - value;
    if (std::llabs(distance) < m_visibleRows) {
        const QRect area(0, HeaderRows() * m_rowHeight, viewport()->width(), m_visibleRows * m_rowHeight);
        viewport()->scroll(0, static_cast<int>(distance) * m_rowHeight, area);
        RepaintItem(m_focusIndex);
    } else {
        viewport()->update();
    }
    m_focusIndex = m_itemIndex;
    RepaintItem(m_focusIndex);
    if (OnTopIndexChanged)
        OnTopIndexChanged(this, m_topIndex);
}

void TOvcCustomVirtualListBox::SetMultiSelect(bool on)
{
    if (on == m_multiSelect)
        return;
    ClearMarks();
    m_multiSelect = on;
    m_shiftRange.End();
    viewport()->update();
}

void TOvcCustomVirtualListBox::SetRangeMarked(int first, int last, bool marked)
{
    if (!m_multiSelect)
        return;
    if (first > last)
        std::swap(first, last);
    first = std::max(first, 0);
    last = std::min(last, m_lastIndex);
    m_shiftRange.End();
    const int before = m_marks.Count();
    if (marked)
        MarkUnprotected(m_marks, first, last, [this](int row) { return DoOnGetItemStatus(row); });
    else
        m_marks.SetRange(first, last, false);
    if (m_marks.Count() != before)
        MarksChanged(first, last);
}

void TOvcCustomVirtualListBox::ExtendRangeTo(int index)
{
    if (index < 0)
        return;
    int first = 0;
    int last = 0;
    if (m_shiftRange.ExtendTo(
            m_marks, std::clamp(m_anchorIndex, 0, m_lastIndex), index,
            [this](int row) { return DoOnGetItemStatus(row); }, first, last))
        MarksChanged(first, last);
}

void TOvcCustomVirtualListBox::SetAnchor(int index)
{
    m_anchorIndex = index;
    m_shiftRange.End();
}

void TOvcCustomVirtualListBox::ToggleMark(int index)
{
    if (index < 0)
        return;
    SetAnchor(index);
    SetMarked(index, !IsMarked(index));
}

void TOvcCustomVirtualListBox::MarksChanged(int first, int last)
{
    const int top = std::max(first, m_topIndex);
    const int bottom = static_cast<int>(std::min<long long>(last, 1LL * m_topIndex + m_visibleRows - 1));
    for (int index = top; index <= bottom; ++index) {
        RepaintItem(index);
        NotifyCheckedChanged(this, index - m_topIndex + HeaderRows());
    }
    if (OnMarksChanged)
        OnMarksChanged(this);
}

void TOvcCustomVirtualListBox::SetHeader(const QString& header)
{
    if (header == m_header)
        return;
    m_header = header;
    viewport()->update();
}

void TOvcCustomVirtualListBox::SetShowHeader(bool show)
{
    if (show == m_showHeader)
        return;
    m_showHeader = show;
    MetricsChanged();
}

void TOvcCustomVirtualListBox::SetRowHeight(int height)
{
    m_autoRowHeight = false;
    if (height < 1 || height == m_rowHeight)
        return;
    m_rowHeight = height;
    MetricsChanged();
}

void TOvcCustomVirtualListBox::SetAutoRowHeight(bool autoHeight)
{
    if (autoHeight == m_autoRowHeight)
        return;
    m_autoRowHeight = autoHeight;
    if (autoHeight)
        MetricsChanged();
}

void TOvcCustomVirtualListBox::SetScrollBars(TScrollStyle bars)
{
    m_scrollBars = bars;
    ApplyScrollBars(bars);
    UpdateScrollBars();
}

void TOvcCustomVirtualListBox::SetBorderStyle(TBorderStyle style)
{
    m_borderStyle = style;
    ApplyBorderStyle(style);
}

void TOvcCustomVirtualListBox::SetColumns(std::uint8_t columns)
{
    m_columns = columns;
    if (m_columnOffset > m_columns)
        SetColumnOffset(m_columns);
    UpdateHorizontalBar();
}

void TOvcCustomVirtualListBox::SetColumnOffset(int offset)
{
    offset = std::clamp(offset, 0, m_columns);
    if (offset == m_columnOffset)
        return;
    m_columnOffset = offset;
    UpdateHorizontalBar();
    viewport()->update();
}

void TOvcCustomVirtualListBox::RecalcMetrics()
{
    if (m_autoRowHeight)
        m_rowHeight = std::max(1, fontMetrics().height());
    m_visibleRows = std::max(1, viewport()->height() / m_rowHeight - HeaderRows());
}

void TOvcCustomVirtualListBox::MetricsChanged()
{
    RecalcMetrics();
    UpdateScrollBars();
    viewport()->update();
}

void TOvcCustomVirtualListBox::UpdateScrollBars()
{
    UpdateVerticalBar();
    UpdateHorizontalBar();
}

void TOvcCustomVirtualListBox::UpdateVerticalBar()
{
    m_scrollScale = 1;
    if (m_numItems < m_visibleRows) {
        m_scrollRange = 1;
    } else if (m_numItems > 32767) {
        m_scrollScale = (m_numItems / 32768) * 2;
        m_scrollRange = m_numItems / m_scrollScale;
    } else {
        m_scrollRange = m_numItems;
    }
    QScrollBar* bar = verticalScrollBar();
    // The page takes up VisibleRows positions, so the last position shows the last page.
    const int maximum = std::max(0, m_scrollRange - m_visibleRows);
    m_updatingBars = true;
    bar->setRange(0, maximum);
    bar->setPageStep(m_visibleRows);
    bar->setSingleStep(1);
    bar->setValue(ThumbScale(m_numItems - m_visibleRows, maximum).PositionOf(m_topIndex));
    bar->setEnabled(maximum > 0);
    m_updatingBars = false;
}

void TOvcCustomVirtualListBox::UpdateHorizontalBar()
{
    QScrollBar* bar = horizontalScrollBar();
    m_updatingBars = true;
    bar->setRange(0, m_columns);
    bar->setPageStep(10);
    bar->setValue(m_columnOffset);
    m_updatingBars = false;
}

void TOvcCustomVirtualListBox::scrollContentsBy(int, int)
{
    FollowScrollBars();
}

void TOvcCustomVirtualListBox::FollowScrollBars()
{
    if (m_updatingBars)
        return;
    const QScrollBar* vertical = verticalScrollBar();
    const ThumbScale scale(m_numItems - m_visibleRows, vertical->maximum());
    if (scale.PositionOf(m_topIndex) != vertical->value())
        SetTopIndex(scale.TopAt(vertical->value()));
    SetColumnOffset(horizontalScrollBar()->value());
}

void TOvcCustomVirtualListBox::OnVerticalAction(int action)
{
    // Steps move by rows and pages, not by positions of a scaled bar; other actions (thumb, wheel
    // over the bar, its ends) come through the bar's value.
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        ScrollBy(1);
        break;
    case QAbstractSlider::SliderSingleStepSub:
        ScrollBy(-1);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        ScrollBy(m_visibleRows - 1);
        break;
    case QAbstractSlider::SliderPageStepSub:
        ScrollBy(-(m_visibleRows - 1));
        break;
    default:
        return;
    }
    verticalScrollBar()->setSliderPosition(verticalScrollBar()->value());
}

void TOvcCustomVirtualListBox::OnHorizontalAction(int action)
{
    switch (action) {
    case QAbstractSlider::SliderPageStepAdd:
        SetColumnOffset(m_columnOffset + 10);
        break;
    case QAbstractSlider::SliderPageStepSub:
        SetColumnOffset(m_columnOffset - 10);
        break;
    default:
        return;
    }
    horizontalScrollBar()->setSliderPosition(m_columnOffset);
}

bool TOvcCustomVirtualListBox::HasHorizontalBar() const
{
    return m_scrollBars == TScrollStyle::ssHorizontal || m_scrollBars == TScrollStyle::ssBoth;
}

void TOvcCustomVirtualListBox::ScrollBy(int delta)
{
    long long t = static_cast<long long>(m_topIndex) + delta;
    if (t < 0)
        t = 0;
    const int lastTop = m_lastIndex - (m_visibleRows - 1);
    if (t > lastTop)
        t = m_visibleRows - 1 >= m_lastIndex ? 0 : lastTop;
    SetTopIndex(static_cast<int>(t));
}

int TOvcCustomVirtualListBox::ItemAtPoint(const QPoint& point) const
{
    const int y = point.y();
    const int headerHeight = m_rowHeight * HeaderRows();
    if (y < headerHeight)
        return std::max(0, m_topIndex - 1 + y / m_rowHeight);
    if (y >= viewport()->height())
        return static_cast<int>(std::min<long long>(m_lastIndex, 1LL * m_topIndex + y / m_rowHeight));
    const long long index = 1LL * m_topIndex + y / m_rowHeight - HeaderRows();
    return static_cast<int>(std::min<long long>(index, 1LL * m_topIndex + m_visibleRows - 1));
}

QRect TOvcCustomVirtualListBox::ItemRect(int index) const
{
    if (index < m_topIndex || index >= m_topIndex + m_visibleRows || index > m_lastIndex)
        return {};
    const int position = index - m_topIndex + HeaderRows();
    return QRect(0, position * m_rowHeight, viewport()->width(), m_rowHeight);
}

void TOvcCustomVirtualListBox::RepaintItem(int index)
{
    const QRect rect = ItemRect(index);
    if (!rect.isEmpty())
        viewport()->update(rect);
}

QString TOvcCustomVirtualListBox::DoOnGetItem(int index)
{
    m_itemBuffer.clear();
    if (OnGetItem)
        OnGetItem(this, index, m_itemBuffer);
    else
        m_itemBuffer = QStringLiteral("%1. *** Warning *** OnGetItem not assigned!").arg(index);
    return m_itemBuffer;
}

bool TOvcCustomVirtualListBox::DoOnGetItemStatus(int index)
{
    bool protect = false;
    if (OnGetItemStatus)
        OnGetItemStatus(this, index, protect);
    return protect;
}

void TOvcCustomVirtualListBox::DoOnGetItemColor(int index, QColor& fg, QColor& bg)
{
    if (OnGetItemColor)
        OnGetItemColor(this, index, fg, bg);
}

QString TOvcCustomVirtualListBox::ItemText(int index)
{
    if (index < 0 || index > m_lastIndex)
        return {};
    return CutToItemLength(DoOnGetItem(index));
}

bool TOvcCustomVirtualListBox::IsItemProtected(int index)
{
    return index >= 0 && index <= m_lastIndex && DoOnGetItemStatus(index);
}

void TOvcCustomVirtualListBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.setFont(font());
    const QRect clip = event->rect();
    const int width = viewport()->width();
    if (m_showHeader && clip.intersects(QRect(0, 0, width, m_rowHeight)))
        DrawHeader(painter);

    const int count = static_cast<int>(std::min<long long>(m_visibleRows, 1LL * m_numItems - m_topIndex));
    for (int i = 1; i <= count; ++i)
        DrawItem(painter, m_topIndex + i - 1, i + HeaderRows(), clip);

    const int drawnBottom = (std::max(0, count) + HeaderRows()) * m_rowHeight;
    if (drawnBottom < viewport()->height())
        painter.fillRect(QRect(0, drawnBottom, width, viewport()->height() - drawnBottom),
                         clWindow.Resolve(palette()));

    if (hasFocus()) {
        const int focus = std::max(0, m_focusIndex);
        const QRect rect = ItemRect(focus);
        if (!rect.isEmpty()) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = rect;
            option.backgroundColor = palette().color(QPalette::Base);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
        m_focusIndex = focus;
    }
}

void TOvcCustomVirtualListBox::DrawHeader(QPainter& painter)
{
    const QString full = CutToItemLength(m_header);
    const QString text = full.size() > m_columnOffset ? full.mid(m_columnOffset) : QStringLiteral(" ");
    const QRect rect(0, 0, viewport()->width(), m_rowHeight - 1);
    const QPalette& pal = palette();
    painter.fillRect(rect, m_headerColor.BackColor().Resolve(pal));
    painter.setPen(m_headerColor.TextColor().Resolve(pal));
    const int left = CheckColumnWidth() + kTextIndent;
    painter.drawText(QRect(left, 0, rect.width() - left, m_rowHeight), Qt::AlignLeft | Qt::AlignTop, text);
    painter.setPen(clWindowText.Resolve(pal));
    painter.drawLine(0, m_rowHeight - 1, rect.width(), m_rowHeight - 1);
    painter.setPen(clBtnHighlight.Resolve(pal));
    painter.drawLine(0, 0, rect.width(), 0);
    painter.drawLine(0, 0, 0, m_rowHeight - 2);
}

void TOvcCustomVirtualListBox::DrawItem(QPainter& painter, int index, int rowPosition, const QRect& clip)
{
    const QRect rect(0, (rowPosition - 1) * m_rowHeight, viewport()->width(), m_rowHeight);
    if (!rect.intersects(clip))
        return;
    const QPalette& pal = palette();
    QColor fg;
    QColor bg;
    const bool isProtected = DoOnGetItemStatus(index);
    if (isProtected) {
        bg = m_protectColor.BackColor().Resolve(pal);
        fg = m_protectColor.TextColor().Resolve(pal);
    } else if (index == m_itemIndex) {
        bg = m_selectColor.BackColor().Resolve(pal);
        fg = m_selectColor.TextColor().Resolve(pal);
    } else {
        bg = clWindow.Resolve(pal);
        fg = clWindowText.Resolve(pal);
        DoOnGetItemColor(index, fg, bg);
    }
    painter.fillRect(rect, bg);
    if (index > m_lastIndex)
        return;
    const int check = CheckColumnWidth();
    if (check > 0 && !isProtected && m_marks.IsMarked(index))
        DrawCheckMark(painter, QRect(rect.left(), rect.top(), check, m_rowHeight), fg);
    const QString text = CutToItemLength(DoOnGetItem(index));
    if (text.size() <= m_columnOffset)
        return;
    painter.setPen(fg);
    painter.drawText(rect.adjusted(check + kTextIndent, 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text.mid(m_columnOffset));
}

void TOvcCustomVirtualListBox::resizeEvent(QResizeEvent* event)
{
    TOvcBase::resizeEvent(event);
    RecalcMetrics();
    UpdateScrollBars();
    if (1LL * m_topIndex + m_visibleRows - 1 >= m_numItems)
        SetTopIndex(std::max(m_numItems - m_visibleRows, 0));
}

void TOvcCustomVirtualListBox::changeEvent(QEvent* event)
{
    TOvcBase::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        MetricsChanged();
}

void TOvcCustomVirtualListBox::keyPressEvent(QKeyEvent* event)
{
    const std::uint16_t command = TranslateKey(*event);
    if (!IsNoCommand(command)) {
        HandleCommand(command);
        event->accept();
    } else if (m_multiSelect && event->key() == Qt::Key_Space &&
               !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        // No key table names Space; it toggles the current row as in the desktop's own lists.
        ToggleMark(m_itemIndex);
        event->accept();
        return;
    } else {
        // Without a command the key keeps Qt's meaning (QWidget's: passed on to the parent).
        QWidget::keyPressEvent(event);
    }
    const QString text = event->text();
    if (OnCharToItem && text.size() == 1 && text.at(0).unicode() < 256) {
        int index = m_itemIndex;
        OnCharToItem(this, static_cast<char>(text.at(0).unicode()), index);
        if (index >= 0 && index <= m_lastIndex)
            SetItemIndex(index);
        event->accept();
    }
}

void TOvcCustomVirtualListBox::HandleCommand(std::uint16_t command)
{
    if (command == ccLeft && !HasHorizontalBar())
        command = ccUp;
    if (command == ccRight && !HasHorizontalBar())
        command = ccDown;
    switch (command) {
    case ccDown:
    case ccUp:
    case ccHome:
    case ccEnd:
    case ccNextPage:
    case ccPrevPage:
        SetItemIndex(MoveTarget(command));
        break;
    case ccLeft:
        if (m_columnOffset > 0)
            SetColumnOffset(m_columnOffset - 1);
        break;
    case ccRight:
        if (m_columnOffset < m_columns)
            SetColumnOffset(m_columnOffset + 1);
        break;
    case ccExtendDown:
    case ccExtendUp:
    case ccExtendHome:
    case ccExtendEnd:
    case ccExtendPgDn:
    case ccExtendPgUp:
        if (m_multiSelect) {
            SetItemIndex(MoveTarget(command));
            ExtendRangeTo(m_itemIndex);
        }
        return;
    default:
        if (command >= ccUserFirst && OnUserCommand)
            OnUserCommand(this, command);
        return;
    }
    SetAnchor(m_itemIndex);
}

int TOvcCustomVirtualListBox::MoveTarget(std::uint16_t command) const
{
    const long long page = m_visibleRows == 1 ? 1 : m_visibleRows - 1;
    long long target = m_itemIndex;
    switch (command) {
    case ccDown:
    case ccExtendDown:
        if (m_itemIndex < m_lastIndex)
            target = m_itemIndex + 1LL;
        break;
    case ccUp:
    case ccExtendUp:
        if (m_itemIndex > 0)
            target = m_itemIndex - 1;
        break;
    case ccHome:
    case ccExtendHome:
        target = 0;
        break;
    case ccEnd:
    case ccExtendEnd:
        target = m_lastIndex;
        break;
    case ccNextPage:
    case ccExtendPgDn:
        if (m_numItems > 0)
            target = std::min<long long>(m_lastIndex, m_itemIndex + page);
        break;
    case ccPrevPage:
    case ccExtendPgUp:
        if (m_numItems > 0)
            target = std::max<long long>(0, m_itemIndex - page);
        break;
    default:
        break;
    }
    return static_cast<int>(target);
}

void TOvcCustomVirtualListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        TOvcBase::mousePressEvent(event);
        return;
    }
    m_mouseCaptured = true;
    m_captureStartIndex = m_itemIndex;
    const QPoint pos = event->position().toPoint();
    m_tracker.Start(pos);
    if (focusPolicy() & Qt::ClickFocus)
        setFocus(Qt::MouseFocusReason);
    if (m_showHeader && pos.y() < m_rowHeight) {
        if (OnClickHeader)
            OnClickHeader(this, pos);
        return;
    }
    if (m_numItems == 0)
        return;
    RepaintItem(m_itemIndex);
    m_focusIndex = m_itemIndex;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    m_pressExtends = m_multiSelect && (modifiers & Qt::ShiftModifier);
    if (m_multiSelect && (modifiers & Qt::ControlModifier) && !m_pressExtends) {
        // No tracking: the row toggled stays the current one.
        const int index = ItemAtPoint(pos);
        if (index <= m_lastIndex) {
            SetItemIndex(index);
            ToggleMark(index);
        }
        return;
    }
    m_tracking = true;
    TrackMouse(pos);
}

void TOvcCustomVirtualListBox::mouseMoveEvent(QMouseEvent* event)
{
    m_tracker.Move(event->position().toPoint(), event->buttons());
}

void TOvcCustomVirtualListBox::TrackMouse(const QPoint& point)
{
    if (!m_tracking)
        return;
    const int index = ItemAtPoint(point);
    if (index > m_lastIndex)
        return;
    SetItemIndex(index);
    if (m_pressExtends)
        ExtendRangeTo(index);
    else
        SetAnchor(index);
}

void TOvcCustomVirtualListBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_mouseCaptured) {
        TOvcBase::mouseReleaseEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    TrackMouse(pos);
    m_tracker.Stop();
    EndCapture(viewport()->rect().contains(pos));
}

void TOvcCustomVirtualListBox::EndCapture(bool releasedInside)
{
    if (!m_mouseCaptured)
        return;
    m_tracking = false;
    m_mouseCaptured = false;
    if ((releasedInside || m_itemIndex != m_captureStartIndex) && OnClick)
        OnClick(this);
}

void TOvcCustomVirtualListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_showHeader && event->position().y() <= m_rowHeight) {
        // Swallowed, but the press still captures the mouse so that its release fires OnClick.
        if (event->button() == Qt::LeftButton) {
            m_mouseCaptured = true;
            m_captureStartIndex = m_itemIndex;
            m_tracker.Start(event->position().toPoint());
        }
        return;
    }
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton && OnDblClick)
        OnDblClick(this);
}

void TOvcCustomVirtualListBox::wheelEvent(QWheelEvent* event)
{
    const WheelAccumulator::Steps steps =
        m_wheel.Add(event->angleDelta().x(), event->angleDelta().y(), event->pixelDelta().x(),
                    event->pixelDelta().y(), std::max(1, fontMetrics().averageCharWidth()), m_rowHeight);
    if (steps.Rows != 0)
        ScrollBy(steps.Rows);
    if (steps.Columns != 0 && HasHorizontalBar())
        SetColumnOffset(m_columnOffset + steps.Columns);
    event->accept();
}

void TOvcCustomVirtualListBox::focusInEvent(QFocusEvent* event)
{
    TOvcBase::focusInEvent(event);
    RepaintItem(std::max(0, m_focusIndex));
}

void TOvcCustomVirtualListBox::focusOutEvent(QFocusEvent* event)
{
    TOvcBase::focusOutEvent(event);
    m_tracker.Lose();
    RepaintItem(std::max(0, m_focusIndex));
}
