// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TOvcBaseViewer.h"

#include "widgets/EOvcException.h"
#include "widgets/OvcAccessibility.h"
#include "widgets/OvcCommands.h"
#include "widgets/ThumbScale.h"
#include "widgets/ViewerColumns.h"
#include "widgets/ViewerKeyCommands.h"
#include "widgets/ViewerSearch.h"
#include "widgets/ViewerTextPainter.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <cmath>
#include <exception>

namespace {

constexpr std::size_t kMaxClipboardBytes = 65521;
// Bytes below the blank have no glyph in a text font; they show as this character.
constexpr char kDefaultChar = '?';
constexpr int kGlyphSize = 12;

// Qt cannot carry an exception through its event loop: whatever an event handler's work throws
// (a copy too large, memory that ran out) ends the action with a beep instead.
template <typename Work> void RunGuarded(Work&& work)
{
    try {
        work();
    } catch (const std::exception&) {
        QApplication::beep();
    }
}

} // namespace

TOvcBaseViewer::BusyCursor::BusyCursor(TOvcBaseViewer& viewer)
    : m_viewer(viewer), m_outer(viewer.m_busyDepth == 0)
{
    if (m_outer) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_viewer.m_busy = true;
    }
    ++m_viewer.m_busyDepth;
}

TOvcBaseViewer::BusyCursor::~BusyCursor()
{
    --m_viewer.m_busyDepth;
    if (m_outer) {
        QApplication::restoreOverrideCursor();
        m_viewer.m_busy = false;
    }
}

TOvcBaseViewer::TOvcBaseViewer(QWidget* parent)
    : TOvcBase(parent), m_model(*this), m_highlightColors(clHighlight, clHighlightText),
      m_tracker([this](const QPoint& point) { TrackMouseAt(point); },
                [this] { RunGuarded([this] { EndMouseSelection(); }); })
{
    InstallOvcAccessibleFactory();
    m_fixedFont.SetOnChange([this] {
        RecalcMetrics();
        UpdateScrollBars();
        viewport()->update();
    });
    m_highlightColors.SetOnChange([this] { viewport()->update(); });
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true); // the margin cursor follows the mouse without a button held
    viewport()->setCursor(Qt::IBeamCursor);
    resize(200, 150);
    SetScrollBars(m_scrollBars);
    SetBorderStyle(m_borderStyle);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, &TOvcBaseViewer::OnVerticalAction);
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            &TOvcBaseViewer::OnHorizontalAction);
    RecalcMetrics();
    UpdateScrollBars();
}

std::string_view TOvcBaseViewer::Line(int line)
{
    int length = 0;
    const char* chars = GetLinePtr(line, length);
    return chars ? std::string_view(chars, static_cast<std::size_t>(std::max(0, length)))
                 : std::string_view();
}

std::string TOvcBaseViewer::GetPrintableLine(int line, int destLength)
{
    if (line < 0 || line >= m_lineCount || destLength <= 0)
        return {};
    return PrintableLine(Line(line), TabSize(), destLength, kDefaultChar);
}

void TOvcBaseViewer::SetLineCount(int count)
{
    count = std::max(0, count);
    if (count == m_lineCount)
        return;
    const bool topChanged = TopLine() != 0;
    m_lineCount = count;
    m_model.Reset();
    UpdateScrollBars();
    viewport()->update();
    if (topChanged && OnTopLineChanged)
        OnTopLineChanged(this, 0);
    PostStatus();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::TextUpdated);
        QAccessible::updateAccessibility(&event);
    }
}

void TOvcBaseViewer::Change(const std::function<void(ViewerModel& model)>& change)
{
    const ViewerState before = m_model.State();
    change(m_model);
    Changed(before);
}

void TOvcBaseViewer::Changed(const ViewerState& before)
{
    const ViewerState& now = m_model.State();
    if (now == before)
        return;
    const int deltaLines = now.TopLine - before.TopLine;
    const bool scrolled = deltaLines != 0 || now.LeftColumn != before.LeftColumn;
    if (scrolled) {
        UpdateScrollBars();
        const int rows = VisibleRows();
        const bool caretDrawn = m_showCaret && hasFocus();
        // Moving the pixels is right only when the rows keep their columns.
        if (now.LeftColumn == before.LeftColumn && !caretDrawn && std::abs(deltaLines) < rows)
            viewport()->scroll(0, -deltaLines * m_rowHeight,
                               QRect(0, 0, viewport()->width(), rows * m_rowHeight));
        else
            viewport()->update();
    }

    const bool highlightMoved =
        now.HighlightStart != before.HighlightStart || now.HighlightEnd != before.HighlightEnd;
    if (highlightMoved) {
        const bool hadHighlight = before.HighlightStart != before.HighlightEnd;
        if (now.HighlightStart == before.HighlightStart)
            RepaintLines(before.HighlightEnd.Line, now.HighlightEnd.Line);
        else if (now.HighlightEnd == before.HighlightEnd)
            RepaintLines(before.HighlightStart.Line, now.HighlightStart.Line);
        else {
            if (hadHighlight)
                RepaintLines(before.HighlightStart.Line, before.HighlightEnd.Line);
            if (HasHighlight())
                RepaintLines(now.HighlightStart.Line, now.HighlightEnd.Line);
        }
        if (QAccessible::isActive()) {
            QAccessibleEvent event(this, QAccessible::TextSelectionChanged);
            QAccessible::updateAccessibility(&event);
        }
    }
    for (std::size_t n = 0; n < now.Bookmarks.size(); ++n) {
        if (now.Bookmarks[n] != before.Bookmarks[n]) {
            RepaintLines(before.Bookmarks[n].Line, before.Bookmarks[n].Line);
            RepaintLines(now.Bookmarks[n].Line, now.Bookmarks[n].Line);
        }
    }
    if (m_showCaret) {
        viewport()->update(CaretRect(before));
        viewport()->update(CaretRect(now));
    }
    if (now.Caret != before.Caret || now.CaretColumn != before.CaretColumn || scrolled)
        PostStatus();
    if (deltaLines != 0 && OnTopLineChanged)
        OnTopLineChanged(this, now.TopLine);
}

void TOvcBaseViewer::RecalcMetrics()
{
    const QFontMetricsF metrics(m_fixedFont.Font());
    m_rowHeight = std::max(static_cast<int>(std::ceil(metrics.height())) + 2, 12);
    // Glyphs sit on fractional pixel advances; placing columns on the same fractional grid keeps a
    // highlighted run exactly over the characters drawn around it.
    m_charAdvance = std::max(1.0, metrics.horizontalAdvance(QStringLiteral(
                                      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ")) /
                                      52.0);
    m_charWidth = std::max(1, static_cast<int>(std::lround(m_charAdvance)));
    m_model.SetPageSize(viewport()->height() / m_rowHeight,
                        static_cast<int>((viewport()->width() - kMarginWidth) / m_charAdvance));
    const int frame = 2 * frameWidth();
    setMinimumSize(kMarginWidth + m_charWidth + frame, m_rowHeight + frame);
}

void TOvcBaseViewer::UpdateScrollBars()
{
    const int largest = LargestTopLine();
    m_verticalScale = largest / 16384 + 1;
    const int maximum = largest / m_verticalScale;
    m_updatingBars = true;
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, maximum);
    vertical->setPageStep(std::max(1, VisibleRows() / m_verticalScale));
    vertical->setSingleStep(1);
    vertical->setValue(ThumbScale(largest, maximum).PositionOf(TopLine()));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, m_lineCount > 0 ? kMaxLeftColumn : 0);
    horizontal->setPageStep(10);
    horizontal->setValue(LeftColumn());
    m_updatingBars = false;
}

void TOvcBaseViewer::scrollContentsBy(int, int)
{
    FollowScrollBars();
}

void TOvcBaseViewer::FollowScrollBars()
{
    if (m_updatingBars)
        return;
    const QScrollBar* vertical = verticalScrollBar();
    const ThumbScale scale(LargestTopLine(), vertical->maximum());
    int top = TopLine();
    if (scale.PositionOf(top) != vertical->value())
        top = scale.TopAt(vertical->value());
    const int left = horizontalScrollBar()->value();
    if (top != TopLine() || left != LeftColumn())
        Change([&](ViewerModel& model) { model.ScrollTo(left, top); });
}

void TOvcBaseViewer::OnVerticalAction(int action)
{
    // Steps move by lines and pages of the text, not by positions of a scaled bar; other actions
    // (thumb, wheel over the bar, its ends) come through the bar's value.
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        Scroll(0, 1);
        break;
    case QAbstractSlider::SliderSingleStepSub:
        Scroll(0, -1);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        Scroll(0, VisibleRows());
        break;
    case QAbstractSlider::SliderPageStepSub:
        Scroll(0, -VisibleRows());
        break;
    default:
        return;
    }
    verticalScrollBar()->setSliderPosition(verticalScrollBar()->value());
}

void TOvcBaseViewer::OnHorizontalAction(int action)
{
    switch (action) {
    case QAbstractSlider::SliderPageStepAdd:
        Scroll(10, 0);
        break;
    case QAbstractSlider::SliderPageStepSub:
        Scroll(-10, 0);
        break;
    default:
        return;
    }
    horizontalScrollBar()->setSliderPosition(horizontalScrollBar()->value());
}

void TOvcBaseViewer::Scroll(int deltaColumns, int deltaLines)
{
    Change([&](ViewerModel& model) { model.Scroll(deltaColumns, deltaLines); });
}

void TOvcBaseViewer::MoveCaret(int deltaChar, int deltaLine, bool absolute, bool extend, bool keepRow)
{
    Change([&](ViewerModel& model) { model.MoveCaret(deltaChar, deltaLine, absolute, extend, keepRow); });
}

void TOvcBaseViewer::MoveCaretTo(int line, int character, bool extend)
{
    Change([&](ViewerModel& model) { model.MoveCaretTo(line, character, extend); });
}

void TOvcBaseViewer::SetHighlight(int startLine, int startChar, int endLine, int endChar, bool caretAtEnd)
{
    if (caretAtEnd)
        startLine = ClampLine(startLine);
    else
        endLine = ClampLine(endLine);
    Change(
        [&](ViewerModel& model) { model.SetHighlight(startLine, startChar, endLine, endChar, caretAtEnd); });
}

void TOvcBaseViewer::ToggleBookmark(int n)
{
    Change([&](ViewerModel& model) { model.ToggleBookmark(n); });
}

std::string TOvcBaseViewer::HighlightedText()
{
    return m_model.HighlightedText(SIZE_MAX).value_or(std::string());
}

void TOvcBaseViewer::CopyToClipboard()
{
    if (!HasHighlight())
        return;
    const std::optional<std::string> text = m_model.HighlightedText(kMaxClipboardBytes);
    if (!text)
        throw ERegionTooLarge();
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size())));
}

void TOvcBaseViewer::EndMouseSelection()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!HasHighlight() || !clipboard->supportsSelection())
        return;
    const std::optional<std::string> text = m_model.HighlightedText(kMaxClipboardBytes);
    if (text)
        clipboard->setText(QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size())),
                           QClipboard::Selection);
}

bool TOvcBaseViewer::Search(const std::string& s, unsigned options)
{
    if (s.empty() || m_lineCount == 0)
        return false;
    BusyCursor busy(*this);
    const std::optional<ViewerMatch> match = FindInLines(*this, s, options, Caret());
    if (!match)
        return false;
    SetHighlight(match->Start.Line, match->Start.Char, match->End.Line, match->End.Char,
                 (options & sfBackward) == 0);
    return true;
}

void TOvcBaseViewer::SetMarginColor(const OvcColor& color)
{
    m_marginColor = color;
    viewport()->update();
}

void TOvcBaseViewer::SetExpandTabs(bool expand)
{
    if (expand == ExpandTabs())
        return;
    m_model.SetTabs(TabSize(), expand);
    viewport()->update();
}

void TOvcBaseViewer::SetTabSize(std::uint8_t size)
{
    if (size == 0 || size == TabSize())
        return;
    m_model.SetTabs(size, ExpandTabs());
    viewport()->update();
}

void TOvcBaseViewer::SetScrollBars(TScrollStyle bars)
{
    m_scrollBars = bars;
    ApplyScrollBars(bars);
}

void TOvcBaseViewer::SetBorderStyle(TBorderStyle style)
{
    m_borderStyle = style;
    ApplyBorderStyle(style);
}

void TOvcBaseViewer::SetShowBookmarks(bool show)
{
    m_showBookmarks = show;
    viewport()->update();
}

void TOvcBaseViewer::SetShowCaret(bool show)
{
    m_showCaret = show;
    viewport()->update();
}

void TOvcBaseViewer::RepaintLines(int first, int last)
{
    if (first > last)
        std::swap(first, last);
    const int topLine = TopLine();
    const int top = std::max(first, topLine) - topLine;
    const int bottom = std::min(last, topLine + VisibleRows()) - topLine;
    if (bottom < top || first < 0)
        return;
    viewport()->update(QRect(0, top * m_rowHeight, viewport()->width(), (bottom - top + 1) * m_rowHeight));
}

QRect TOvcBaseViewer::CaretRect(const ViewerState& state) const
{
    if (state.Caret.Line < state.TopLine || state.Caret.Line >= state.TopLine + VisibleRows() ||
        state.CaretColumn < state.LeftColumn || state.CaretColumn > state.LeftColumn + VisibleColumns())
        return {};
    return QRect(static_cast<int>(ColumnX(state.CaretColumn - state.LeftColumn)),
                 (state.Caret.Line - state.TopLine) * m_rowHeight, 2, m_rowHeight);
}

void TOvcBaseViewer::PostStatus()
{
    if (m_statusPending || !OnShowStatus)
        return;
    m_statusPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_statusPending = false;
            if (OnShowStatus)
                OnShowStatus(this, Caret().Line, CaretColumn());
        },
        Qt::QueuedConnection);
}

void TOvcBaseViewer::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.setFont(m_fixedFont.Font());
    const QPalette& pal = palette();
    const QRect clip = event->rect();
    const int rows = VisibleRows();
    const int firstRow = std::max(0, clip.top() / m_rowHeight);
    const int lastRow = std::min(rows - 1, (clip.bottom() + m_rowHeight - 1) / m_rowHeight);
    const ViewerState& state = m_model.State();
    const ViewerTextPainter::Colours colours{
        m_fixedFont.Color().isValid() ? m_fixedFont.Color() : clWindowText.Resolve(pal),
        m_highlightColors.TextColor().Resolve(pal), m_highlightColors.BackColor().Resolve(pal)};
    ViewerTextPainter text(painter, m_fixedFont.Font(), m_charAdvance, m_rowHeight, kDefaultChar);
    const QColor background = clWindow.Resolve(pal);
    RunGuarded([&] {
        for (int row = firstRow; row <= lastRow; ++row) {
            const int top = row * m_rowHeight;
            const int line = state.TopLine + row;
            if (clip.left() < kMarginWidth)
                DrawMargin(painter, row, line);
            const QRect textRect(kMarginWidth, top, viewport()->width() - kMarginWidth, m_rowHeight);
            painter.fillRect(textRect, background);
            if (line >= m_lineCount)
                continue;
            int highlightFrom = 0;
            int highlightTo = 0;
            if (HasHighlight() && line >= state.HighlightStart.Line && line <= state.HighlightEnd.Line) {
                highlightFrom = line == state.HighlightStart.Line ? state.HighlightStart.Char : 0;
                highlightTo = line == state.HighlightEnd.Line ? state.HighlightEnd.Char : INT_MAX;
            }
            painter.save();
            painter.setClipRect(textRect);
            text.DrawLine(kMarginWidth, top, Line(line), state.LeftColumn, VisibleColumns(), TabSize(),
                          ExpandTabs(), highlightFrom, highlightTo, colours);
            painter.restore();
        }
    });
    const int bottom = rows * m_rowHeight;
    if (bottom < viewport()->height()) {
        painter.fillRect(QRect(0, bottom, kMarginWidth, viewport()->height() - bottom),
                         m_marginColor.Resolve(pal));
        painter.fillRect(QRect(kMarginWidth, bottom, viewport()->width(), viewport()->height() - bottom),
                         background);
    }
    if (m_showCaret && hasFocus()) {
        const QRect caret = CaretRect(state);
        if (!caret.isEmpty())
            painter.fillRect(caret, clWindowText.Resolve(pal));
    }
    PostStatus();
}

void TOvcBaseViewer::DrawMargin(QPainter& painter, int row, int line)
{
    const int top = row * m_rowHeight;
    painter.fillRect(QRect(0, top, kMarginWidth, m_rowHeight), m_marginColor.Resolve(palette()));
    if (!m_showBookmarks || line >= m_lineCount)
        return;
    const auto& marks = m_model.State().Bookmarks;
    const auto mark =
        std::find_if(marks.begin(), marks.end(), [&](const ViewerPos& p) { return p.Line == line; });
    if (mark == marks.end())
        return;
    const int y = m_rowHeight >= 14 ? top + (m_rowHeight - kGlyphSize) / 2 : top;
    const QRect glyph(2, y, kGlyphSize, kGlyphSize);
    painter.save();
    painter.fillRect(glyph, QColor(0, 128, 128));
    painter.setPen(Qt::white);
    QFont small = painter.font();
    small.setPixelSize(10);
    painter.setFont(small);
    painter.drawText(glyph, Qt::AlignCenter, QString::number(mark - marks.begin()));
    painter.restore();
}

void TOvcBaseViewer::resizeEvent(QResizeEvent* event)
{
    const bool allFitBefore = m_lineCount <= VisibleRows();
    TOvcBase::resizeEvent(event);
    RecalcMetrics();
    if (!allFitBefore && m_lineCount <= VisibleRows())
        Change([](ViewerModel& model) { model.ScrollTo(model.State().LeftColumn, 0); });
    else if (TopLine() > LargestTopLine())
        Change([](ViewerModel& model) { model.ScrollTo(model.State().LeftColumn, model.LargestTopLine()); });
    UpdateScrollBars();
}

void TOvcBaseViewer::keyPressEvent(QKeyEvent* event)
{
    const std::uint16_t command = TranslateKey(*event);
    if (command >= ccUserFirst) {
        if (OnUserCommand)
            OnUserCommand(this, command);
        event->accept();
        return;
    }
    ViewerCommandResult result = ViewerCommandResult::NotHandled;
    if (!IsNoCommand(command)) {
        RunGuarded([&] {
            const ViewerState before = m_model.State();
            result = RunViewerCommand(m_model, command, m_showCaret);
            Changed(before);
            if (result == ViewerCommandResult::Copy)
                CopyToClipboard();
        });
    }
    if (result != ViewerCommandResult::NotHandled)
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

ViewerPos TOvcBaseViewer::PositionAtPoint(const QPoint& point)
{
    const ViewerState& state = m_model.State();
    const int columns = VisibleColumns();
    const int rows = VisibleRows();
    int column;
    if (point.x() < kMarginWidth)
        column = std::max(state.LeftColumn - 1, 0);
    else if (point.x() >= ColumnX(columns))
        column = state.LeftColumn + columns;
    else
        column = static_cast<int>((point.x() - kMarginWidth) / m_charAdvance) + state.LeftColumn;
    int line;
    if (point.y() < 0)
        line = std::max(state.TopLine - 1, 0);
    else if (point.y() >= rows * m_rowHeight)
        line = state.TopLine + rows;
    else
        line = point.y() / m_rowHeight + state.TopLine;
    return m_model.PositionAt(column, line);
}

void TOvcBaseViewer::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        TOvcBase::mousePressEvent(event);
        return;
    }
    if (focusPolicy() & Qt::ClickFocus)
        setFocus(Qt::MouseFocusReason);
    if (m_lineCount == 0)
        return;
    const QPoint point = event->position().toPoint();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    RunGuarded([&] {
        const ViewerPos pos = PositionAtPoint(point);
        m_mouseInMargin = point.x() < kMarginWidth;
        if (m_mouseInMargin) {
            const int caretLine = Caret().Line;
            m_marginAnchorLine = (shift && pos.Line != caretLine) ? caretLine : pos.Line;
            Change([&](ViewerModel& model) { model.SelectLines(m_marginAnchorLine, pos.Line); });
        } else {
            MoveCaretTo(pos.Line, pos.Char, shift);
        }
    });
    m_tracker.Start(point);
}

void TOvcBaseViewer::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    m_marginMode = point.x() < kMarginWidth;
    viewport()->setCursor(m_marginMode ? Qt::PointingHandCursor : Qt::IBeamCursor);
    m_tracker.Move(point, event->buttons());
}

void TOvcBaseViewer::TrackMouseAt(const QPoint& point)
{
    RunGuarded([&] {
        const ViewerPos pos = PositionAtPoint(point);
        if (m_mouseInMargin)
            Change([&](ViewerModel& model) { model.SelectLines(m_marginAnchorLine, pos.Line); });
        else
            MoveCaretTo(pos.Line, pos.Char, true);
    });
}

void TOvcBaseViewer::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        TOvcBase::mouseReleaseEvent(event);
        return;
    }
    m_tracker.Stop();
    RunGuarded([this] { EndMouseSelection(); });
    event->accept();
}

void TOvcBaseViewer::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || event->position().x() < kMarginWidth || m_lineCount == 0) {
        mousePressEvent(event);
        return;
    }
    RunGuarded([&] {
        const ViewerPos pos = PositionAtPoint(event->position().toPoint());
        Change([&](ViewerModel& model) { model.SelectWordAt(pos); });
    });
}

void TOvcBaseViewer::wheelEvent(QWheelEvent* event)
{
    const WheelAccumulator::Steps steps =
        m_wheel.Add(event->angleDelta().x(), event->angleDelta().y(), event->pixelDelta().x(),
                    event->pixelDelta().y(), m_charWidth, m_rowHeight);
    if (steps.Columns != 0 || steps.Rows != 0)
        Scroll(steps.Columns, steps.Rows);
    event->accept();
}

void TOvcBaseViewer::focusInEvent(QFocusEvent* event)
{
    TOvcBase::focusInEvent(event);
    if (m_showCaret)
        viewport()->update(CaretRect(m_model.State()));
}

void TOvcBaseViewer::focusOutEvent(QFocusEvent* event)
{
    TOvcBase::focusOutEvent(event);
    m_tracker.Lose();
    if (m_showCaret)
        viewport()->update(CaretRect(m_model.State()));
}
