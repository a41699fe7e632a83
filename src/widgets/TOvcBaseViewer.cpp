// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TOvcBaseViewer.h"

#include "widgets/EOvcException.h"
#include "widgets/HorspoolMatcher.h"
#include "widgets/OvcAccessibility.h"
#include "widgets/OvcCommands.h"
#include "widgets/ViewerColumns.h"

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

namespace {

constexpr int kTrackIntervalMs = 50;
constexpr std::size_t kMaxClipboardBytes = 65521;
// Bytes below the blank have no glyph in a text font; they show as this character.
constexpr char kDefaultChar = '?';
constexpr int kGlyphSize = 12;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

int Clamp(long long value, int low, int high)
{
    return static_cast<int>(std::clamp<long long>(value, low, std::max(low, high)));
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
    : TOvcBase(parent), m_highlightColors(clHighlight, clHighlightText)
{
    InstallOvcAccessibleFactory();
    m_bookmarks.fill(ViewerPos{-1, -1});
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
    m_trackTimer.setInterval(kTrackIntervalMs);
    connect(&m_trackTimer, &QTimer::timeout, this, &TOvcBaseViewer::TrackMouse);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, &TOvcBaseViewer::OnVerticalAction);
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            &TOvcBaseViewer::OnHorizontalAction);
    // The thumb only takes effect where it is let go.
    connect(verticalScrollBar(), &QAbstractSlider::sliderReleased, this, [this] {
        QScrollBar* bar = verticalScrollBar();
        const int position = bar->sliderPosition();
        int top = position * m_verticalScale;
        if (position == 0)
            top = 0;
        else if (position >= bar->maximum())
            top = LargestTopLine();
        ScrollTo(m_leftColumn, top);
    });
    connect(horizontalScrollBar(), &QAbstractSlider::sliderReleased, this,
            [this] { ScrollTo(horizontalScrollBar()->sliderPosition(), m_topLine); });
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

int TOvcBaseViewer::LineLength(int line)
{
    return static_cast<int>(Line(line).size());
}

std::string TOvcBaseViewer::DisplayBytes(std::string_view line) const
{
    std::string out = (m_expandTabs && line.find('\t') != std::string_view::npos)
                          ? ExpandTabStops(line, m_tabSize)
                          : std::string(line);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20)
            c = kDefaultChar;
    return out;
}

std::string TOvcBaseViewer::GetPrintableLine(int line, int destLength)
{
    if (line < 0 || line >= m_lineCount || destLength <= 0)
        return {};
    const std::string_view text = Line(line);
    std::string out =
        text.find('\t') != std::string_view::npos ? ExpandTabStops(text, m_tabSize) : std::string(text);
    if (out.size() > static_cast<std::size_t>(destLength))
        out.resize(static_cast<std::size_t>(destLength));
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20)
            c = kDefaultChar;
    return out;
}

void TOvcBaseViewer::SetLineCount(int count)
{
    count = std::max(0, count);
    if (count == m_lineCount)
        return;
    m_lineCount = count;
    m_caretLine = 0;
    m_caretChar = 0;
    m_caretColumn = 0;
    m_highlightStart = m_highlightEnd = m_selectionAnchor = ViewerPos{};
    m_leftColumn = 0;
    m_bookmarks.fill(ViewerPos{-1, -1});
    const bool topChanged = m_topLine != 0;
    m_topLine = 0;
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
    m_visibleRows = std::max(1, viewport()->height() / m_rowHeight);
    m_visibleColumns = std::max(1, static_cast<int>((viewport()->width() - kMarginWidth) / m_charAdvance));
    const int frame = 2 * frameWidth();
    setMinimumSize(kMarginWidth + m_charWidth + frame, m_rowHeight + frame);
}

void TOvcBaseViewer::UpdateScrollBars()
{
    m_verticalScale = LargestTopLine() / 16384 + 1;
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, LargestTopLine() / m_verticalScale);
    vertical->setPageStep(std::max(1, m_visibleRows / m_verticalScale));
    vertical->setSingleStep(1);
    if (!vertical->isSliderDown())
        vertical->setValue(m_topLine / m_verticalScale);
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, m_lineCount > 0 ? kMaxLeftColumn : 0);
    horizontal->setPageStep(10);
    if (!horizontal->isSliderDown())
        horizontal->setValue(m_leftColumn);
}

void TOvcBaseViewer::scrollContentsBy(int, int)
{
    // The bars' actions drive scrolling (OnVerticalAction); their values only follow.
}

void TOvcBaseViewer::OnVerticalAction(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        Scroll(0, 1);
        break;
    case QAbstractSlider::SliderSingleStepSub:
        Scroll(0, -1);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        Scroll(0, m_visibleRows);
        break;
    case QAbstractSlider::SliderPageStepSub:
        Scroll(0, -m_visibleRows);
        break;
    case QAbstractSlider::SliderToMinimum:
        ScrollTo(m_leftColumn, 0);
        break;
    case QAbstractSlider::SliderToMaximum:
        ScrollTo(m_leftColumn, LargestTopLine());
        break;
    default:
        return; // thumb moves wait for the release
    }
    verticalScrollBar()->setSliderPosition(m_topLine / m_verticalScale);
}

void TOvcBaseViewer::OnHorizontalAction(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        Scroll(1, 0);
        break;
    case QAbstractSlider::SliderSingleStepSub:
        Scroll(-1, 0);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        Scroll(10, 0);
        break;
    case QAbstractSlider::SliderPageStepSub:
        Scroll(-10, 0);
        break;
    case QAbstractSlider::SliderToMinimum:
        ScrollTo(0, m_topLine);
        break;
    case QAbstractSlider::SliderToMaximum:
        ScrollTo(kMaxLeftColumn, m_topLine);
        break;
    default:
        return;
    }
    horizontalScrollBar()->setSliderPosition(m_leftColumn);
}

void TOvcBaseViewer::Scroll(int deltaColumns, int deltaLines)
{
    ScrollTo(Clamp(1LL * m_leftColumn + deltaColumns, 0, kMaxLeftColumn),
             Clamp(1LL * m_topLine + deltaLines, 0, LargestTopLine()));
}

void TOvcBaseViewer::ScrollTo(int leftColumn, int topLine)
{
    leftColumn = std::clamp(leftColumn, 0, kMaxLeftColumn);
    topLine = std::clamp(topLine, 0, LargestTopLine());
    if (leftColumn == m_leftColumn && topLine == m_topLine)
        return;
    const int deltaLines = topLine - m_topLine;
    const bool topChanged = deltaLines != 0;
    const bool caretDrawn = m_showCaret && hasFocus();
    m_leftColumn = leftColumn;
    m_topLine = topLine;
    UpdateScrollBars();
    if (topChanged && leftColumn == m_leftColumn && !caretDrawn && std::abs(deltaLines) < m_visibleRows)
        viewport()->scroll(0, -deltaLines * m_rowHeight,
                           QRect(0, 0, viewport()->width(), m_visibleRows * m_rowHeight));
    else
        viewport()->update();
    if (topChanged && OnTopLineChanged)
        OnTopLineChanged(this, m_topLine);
}

void TOvcBaseViewer::MoveCaret(int deltaChar, int deltaLine, bool absolute, bool extend, bool keepRow)
{
    if (m_lineCount == 0)
        return;
    const ViewerPos oldCaret{m_caretLine, m_caretChar};
    const int oldTop = m_topLine;
    const int oldLeft = m_leftColumn;

    const int newLine = Clamp(absolute ? deltaLine : 1LL * m_caretLine + deltaLine, 0, m_lineCount - 1);
    if (!absolute && deltaChar == 0 && deltaLine != 0 && newLine == m_caretLine)
        return;
    const bool lineChanged = newLine != m_caretLine;
    m_caretLine = newLine;
    const std::string_view line = Line(m_caretLine);
    if (lineChanged && !absolute && m_expandTabs)
        m_caretChar = CharAtColumn(line, m_caretColumn, m_tabSize, true);
    m_caretChar =
        Clamp(absolute ? deltaChar : 1LL * m_caretChar + deltaChar, 0, static_cast<int>(line.size()));
    m_caretColumn = DisplayColumn(line, m_caretChar, m_tabSize, m_expandTabs);

    const bool outside = m_caretLine < m_topLine || m_caretLine > m_topLine + m_visibleRows - 1 ||
                         m_caretColumn < m_leftColumn || m_caretColumn > m_leftColumn + m_visibleColumns - 1;
    if (keepRow || outside) {
        int top = m_topLine;
        if (keepRow)
            top = m_caretLine - (oldCaret.Line - oldTop);
        else if (m_caretLine < m_topLine)
            top = m_caretLine;
        else if (m_caretLine > m_topLine + m_visibleRows - 1)
            top = m_caretLine - (m_visibleRows - 1);
        int left = m_leftColumn;
        if (left > m_caretColumn)
            left = 0;
        if (m_caretColumn > left + m_visibleColumns - 1)
            left = m_caretColumn - (m_visibleColumns - 1);
        ScrollTo(left, std::max(0, top));
    }

    const ViewerPos caret{m_caretLine, m_caretChar};
    const bool collapsedAtCaret = m_highlightStart == caret && m_highlightEnd == caret;
    if (caret == oldCaret && m_leftColumn == oldLeft && (extend || collapsedAtCaret))
        return;

    const ViewerPos oldStart = m_highlightStart;
    const ViewerPos oldEnd = m_highlightEnd;
    if (extend) {
        m_highlightStart = std::min(m_selectionAnchor, caret);
        m_highlightEnd = std::max(m_selectionAnchor, caret);
        // Only the lines between the old and the new caret changed their highlight.
        RepaintLines(std::min(oldCaret.Line, caret.Line), std::max(oldCaret.Line, caret.Line));
    } else {
        RepaintLines(oldStart.Line, oldEnd.Line);
        m_highlightStart = m_highlightEnd = m_selectionAnchor = caret;
    }
    if (oldStart != m_highlightStart || oldEnd != m_highlightEnd) {
        if (QAccessible::isActive()) {
            QAccessibleEvent event(this, QAccessible::TextSelectionChanged);
            QAccessible::updateAccessibility(&event);
        }
    }
    PlaceCaret();
    PostStatus();
}

void TOvcBaseViewer::MoveCaretTo(int line, int character, bool extend)
{
    MoveCaret(character, line, true, extend, false);
}

void TOvcBaseViewer::SetHighlight(int startLine, int startChar, int endLine, int endChar, bool caretAtEnd)
{
    RepaintLines(m_highlightStart.Line, m_highlightEnd.Line);
    const ViewerPos caret{m_caretLine, m_caretChar};
    m_highlightStart = m_highlightEnd = m_selectionAnchor = caret;
    if (caretAtEnd) {
        MoveCaretTo(ClampLine(startLine), startChar, false);
        MoveCaretTo(endLine, endChar, true);
    } else {
        MoveCaretTo(ClampLine(endLine), endChar, false);
        MoveCaretTo(startLine, startChar, true);
    }
}

std::string TOvcBaseViewer::HighlightedText()
{
    std::string text;
    for (int line = m_highlightStart.Line; line <= m_highlightEnd.Line && line < m_lineCount; ++line) {
        const std::string_view chars = Line(line);
        const std::size_t from =
            line == m_highlightStart.Line ? std::min<std::size_t>(m_highlightStart.Char, chars.size()) : 0;
        const std::size_t to = line == m_highlightEnd.Line
                                   ? std::min<std::size_t>(m_highlightEnd.Char, chars.size())
                                   : chars.size();
        if (line != m_highlightStart.Line)
            text += "\r\n";
        if (to > from)
            text.append(chars.substr(from, to - from));
    }
    return text;
}

void TOvcBaseViewer::CopyToClipboard()
{
    if (!HasHighlight())
        return;
    const std::string text = HighlightedText();
    if (text.size() >= kMaxClipboardBytes)
        throw ERegionTooLarge();
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

bool TOvcBaseViewer::Search(const std::string& s, unsigned options)
{
    const HorspoolMatcher matcher(s, (options & sfMatchCase) != 0);
    if (matcher.IsEmpty() || m_lineCount == 0)
        return false;
    BusyCursor busy(*this);
    const bool backward = (options & sfBackward) != 0;
    ViewerPos start{m_caretLine, m_caretChar};
    if (options & sfEntireText)
        start = backward ? ViewerPos{m_lineCount - 1, LineLength(m_lineCount - 1)} : ViewerPos{0, 0};
    const int length = static_cast<int>(matcher.PatternLength());
    if (!backward) {
        for (int line = start.Line; line < m_lineCount; ++line) {
            const std::size_t from = line == start.Line ? static_cast<std::size_t>(start.Char) : 0;
            const std::size_t found = matcher.FindForward(Line(line), from);
            if (found != HorspoolMatcher::npos) {
                SetHighlight(line, static_cast<int>(found), line, static_cast<int>(found) + length, true);
                return true;
            }
        }
    } else {
        for (int line = start.Line; line >= 0; --line) {
            const std::string_view text = Line(line);
            const std::size_t limit = line == start.Line ? static_cast<std::size_t>(start.Char) : text.size();
            const std::size_t found = matcher.FindBackward(text, limit);
            if (found != HorspoolMatcher::npos) {
                SetHighlight(line, static_cast<int>(found), line, static_cast<int>(found) + length, false);
                return true;
            }
        }
    }
    return false;
}

void TOvcBaseViewer::ToggleBookmark(int n)
{
    if (n < 0 || n > 9 || m_lineCount == 0)
        return;
    auto& mark = m_bookmarks[static_cast<std::size_t>(n)];
    const int oldLine = mark.Line;
    if (mark.Line == m_caretLine && mark.Char == m_caretChar)
        mark = ViewerPos{-1, -1};
    else
        mark = ViewerPos{m_caretLine, m_caretChar};
    RepaintLines(oldLine, oldLine);
    RepaintLines(m_caretLine, m_caretLine);
}

void TOvcBaseViewer::SetMarginColor(const OvcColor& color)
{
    m_marginColor = color;
    viewport()->update();
}

void TOvcBaseViewer::SetExpandTabs(bool expand)
{
    if (expand == m_expandTabs)
        return;
    m_expandTabs = expand;
    m_caretColumn = DisplayColumn(Line(m_caretLine), m_caretChar, m_tabSize, m_expandTabs);
    viewport()->update();
}

void TOvcBaseViewer::SetTabSize(std::uint8_t size)
{
    if (size == 0 || size == m_tabSize)
        return;
    m_tabSize = size;
    m_caretColumn = DisplayColumn(Line(m_caretLine), m_caretChar, m_tabSize, m_expandTabs);
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
    const int top = std::max(first, m_topLine) - m_topLine;
    const int bottom = std::min(last, m_topLine + m_visibleRows) - m_topLine;
    if (bottom < top || first < 0)
        return;
    viewport()->update(QRect(0, top * m_rowHeight, viewport()->width(), (bottom - top + 1) * m_rowHeight));
}

QRect TOvcBaseViewer::CaretRect() const
{
    if (m_caretLine < m_topLine || m_caretLine >= m_topLine + m_visibleRows || m_caretColumn < m_leftColumn ||
        m_caretColumn > m_leftColumn + m_visibleColumns)
        return {};
    return QRect(static_cast<int>(ColumnX(m_caretColumn - m_leftColumn)),
                 (m_caretLine - m_topLine) * m_rowHeight, 2, m_rowHeight);
}

void TOvcBaseViewer::PlaceCaret()
{
    // The caret is painted with its row; repainting the caret's rows moves it.
    if (m_showCaret)
        viewport()->update();
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
                OnShowStatus(this, m_caretLine, m_caretColumn);
        },
        Qt::QueuedConnection);
}

void TOvcBaseViewer::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.setFont(m_fixedFont.Font());
    const QRect clip = event->rect();
    const int firstRow = std::max(0, clip.top() / m_rowHeight);
    const int lastRow = std::min(m_visibleRows - 1, (clip.bottom() + m_rowHeight - 1) / m_rowHeight);
    for (int row = firstRow; row <= lastRow; ++row)
        DrawRow(painter, row, clip);
    const int bottom = m_visibleRows * m_rowHeight;
    if (bottom < viewport()->height()) {
        painter.fillRect(QRect(0, bottom, kMarginWidth, viewport()->height() - bottom),
                         m_marginColor.Resolve(palette()));
        painter.fillRect(QRect(kMarginWidth, bottom, viewport()->width(), viewport()->height() - bottom),
                         clWindow.Resolve(palette()));
    }
    if (m_showCaret && hasFocus()) {
        const QRect caret = CaretRect();
        if (!caret.isEmpty())
            painter.fillRect(caret, clWindowText.Resolve(palette()));
    }
    PostStatus();
}

void TOvcBaseViewer::DrawRow(QPainter& painter, int row, const QRect& clip)
{
    const QPalette& pal = palette();
    const int top = row * m_rowHeight;
    const int line = m_topLine + row;
    if (clip.left() < kMarginWidth) {
        painter.fillRect(QRect(0, top, kMarginWidth, m_rowHeight), m_marginColor.Resolve(pal));
        if (m_showBookmarks && line < m_lineCount) {
            for (int n = 0; n < 10; ++n) {
                if (m_bookmarks[static_cast<std::size_t>(n)].Line != line)
                    continue;
                const int y = m_rowHeight >= 14 ? top + (m_rowHeight - kGlyphSize) / 2 : top;
                const QRect glyph(2, y, kGlyphSize, kGlyphSize);
                painter.fillRect(glyph, QColor(0, 128, 128));
                painter.setPen(Qt::white);
                QFont small = painter.font();
                small.setPixelSize(10);
                painter.save();
                painter.setFont(small);
                painter.drawText(glyph, Qt::AlignCenter, QString::number(n));
                painter.restore();
                break;
            }
        }
    }
    const QRect textRect(kMarginWidth, top, viewport()->width() - kMarginWidth, m_rowHeight);
    const QColor background = clWindow.Resolve(pal);
    painter.fillRect(textRect, background);
    if (line >= m_lineCount)
        return;
    const std::string_view chars = Line(line);
    const std::string bytes = DisplayBytes(chars);
    const int shown = std::clamp(static_cast<int>(bytes.size()) - m_leftColumn, 0, m_visibleColumns);
    if (shown == 0)
        return;

    // The highlighted display columns of this line, relative to the first shown column.
    int highlightFrom = shown;
    int highlightTo = shown;
    if (HasHighlight() && line >= m_highlightStart.Line && line <= m_highlightEnd.Line) {
        const int fromChar = line == m_highlightStart.Line ? m_highlightStart.Char : 0;
        const int toChar = line == m_highlightEnd.Line ? m_highlightEnd.Char : static_cast<int>(chars.size());
        highlightFrom =
            std::clamp(DisplayColumn(chars, fromChar, m_tabSize, m_expandTabs) - m_leftColumn, 0, shown);
        highlightTo =
            std::clamp(DisplayColumn(chars, toChar, m_tabSize, m_expandTabs) - m_leftColumn, 0, shown);
    }
    const QColor text = m_fixedFont.Color().isValid() ? m_fixedFont.Color() : clWindowText.Resolve(pal);
    painter.save();
    painter.setClipRect(textRect);
    const qreal ascent = QFontMetricsF(m_fixedFont.Font()).ascent();
    const auto drawSegment = [&](int from, int to, const QColor& fg, const QColor* bg) {
        if (to <= from)
            return;
        const QRectF rect(ColumnX(from), top, (to - from) * m_charAdvance, m_rowHeight);
        if (bg)
            painter.fillRect(rect, *bg);
        painter.setPen(fg);
        const std::string_view segment = std::string_view(bytes).substr(
            static_cast<std::size_t>(m_leftColumn + from), static_cast<std::size_t>(to - from));
        painter.drawText(QPointF(rect.left(), top + 1 + ascent),
                         QString::fromUtf8(segment.data(), static_cast<qsizetype>(segment.size())));
    };
    const QColor highlightBack = m_highlightColors.BackColor().Resolve(pal);
    drawSegment(0, highlightFrom, text, nullptr);
    drawSegment(highlightFrom, highlightTo, m_highlightColors.TextColor().Resolve(pal), &highlightBack);
    drawSegment(highlightTo, shown, text, nullptr);
    painter.restore();
}

void TOvcBaseViewer::resizeEvent(QResizeEvent* event)
{
    const bool allFitBefore = m_lineCount <= m_visibleRows;
    TOvcBase::resizeEvent(event);
    RecalcMetrics();
    if (!allFitBefore && m_lineCount <= m_visibleRows)
        ScrollTo(m_leftColumn, 0);
    else if (m_topLine > LargestTopLine())
        ScrollTo(m_leftColumn, LargestTopLine());
    UpdateScrollBars();
}

void TOvcBaseViewer::keyPressEvent(QKeyEvent* event)
{
    const std::uint16_t command = TranslateKey(*event);
    bool handled = false;
    if (command >= ccUserFirst) {
        if (OnUserCommand)
            OnUserCommand(this, command);
        handled = true;
    } else if (!IsNoCommand(command)) {
        handled = m_showCaret ? HandleCommandCaretOn(command) : HandleCommandCaretOff(command);
    }
    if (handled)
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

bool TOvcBaseViewer::HandleCommandCaretOff(std::uint16_t command)
{
    switch (command) {
    case ccUp:
        return HandleCommonCommand(ccScrollUp);
    case ccDown:
        return HandleCommonCommand(ccScrollDown);
    case ccLeft:
        Scroll(-1, 0);
        return true;
    case ccRight:
        Scroll(1, 0);
        return true;
    case ccHome:
        return HandleCommonCommand(ccFirstPage);
    case ccEnd:
        return HandleCommonCommand(ccLastPage);
    default:
        return HandleCommonCommand(command);
    }
}

bool TOvcBaseViewer::HandleCommonCommand(std::uint16_t command)
{
    const int page = std::max(1, m_visibleRows - 1);
    const int lastLine = std::max(0, m_lineCount - 1);
    switch (command) {
    case ccScrollUp:
        Scroll(0, -1);
        return true;
    case ccScrollDown:
        Scroll(0, 1);
        return true;
    case ccPrevPage:
        MoveCaret(0, -page, false, false, true);
        return true;
    case ccNextPage:
        MoveCaret(0, page, false, false, true);
        return true;
    case ccFirstPage:
        MoveCaretTo(0, 0, false);
        return true;
    case ccLastPage:
        MoveCaretTo(lastLine, LineLength(lastLine), false);
        return true;
    default:
        return false;
    }
}

bool TOvcBaseViewer::HandleCommandCaretOn(std::uint16_t command)
{
    const int page = std::max(1, m_visibleRows - 1);
    const int lastLine = std::max(0, m_lineCount - 1);
    const int bottomRow = std::min(lastLine, m_topLine + m_visibleRows - 1);
    switch (command) {
    case ccLeft:
        MoveCharacters(-1, false);
        return true;
    case ccRight:
        MoveCharacters(1, false);
        return true;
    case ccExtendLeft:
        MoveCharacters(-1, true);
        return true;
    case ccExtendRight:
        MoveCharacters(1, true);
        return true;
    case ccUp:
        MoveCaret(0, -1, false, false, false);
        return true;
    case ccDown:
        MoveCaret(0, 1, false, false, false);
        return true;
    case ccExtendUp:
        MoveCaret(0, -1, false, true, false);
        return true;
    case ccExtendDown:
        MoveCaret(0, 1, false, true, false);
        return true;
    case ccHome:
        MoveCaretTo(m_caretLine, 0, false);
        return true;
    case ccEnd:
        MoveCaretTo(m_caretLine, LineLength(m_caretLine), false);
        return true;
    case ccExtendHome:
        MoveCaretTo(m_caretLine, 0, true);
        return true;
    case ccExtendEnd:
        MoveCaretTo(m_caretLine, LineLength(m_caretLine), true);
        return true;
    case ccExtendPgUp:
        MoveCaret(0, -page, false, true, true);
        return true;
    case ccExtendPgDn:
        MoveCaret(0, page, false, true, true);
        return true;
    case ccExtFirstPage:
        MoveCaretTo(0, 0, true);
        return true;
    case ccExtLastPage:
        MoveCaretTo(lastLine, LineLength(lastLine), true);
        return true;
    case ccTopOfPage:
        MoveCaret(0, m_topLine - m_caretLine, false, false, false);
        return true;
    case ccBotOfPage:
        MoveCaret(0, bottomRow - m_caretLine, false, false, false);
        return true;
    case ccExtTopOfPage:
        MoveCaret(0, m_topLine - m_caretLine, false, true, false);
        return true;
    case ccExtBotOfPage:
        MoveCaret(0, bottomRow - m_caretLine, false, true, false);
        return true;
    case ccExtWordLeft:
        MoveWord(-1, true);
        return true;
    case ccExtWordRight:
        MoveWord(1, true);
        return true;
    case ccCopy:
        try {
            CopyToClipboard();
        } catch (const ERegionTooLarge&) {
            // Nothing was copied; an exception must not cross Qt's event loop.
            QApplication::beep();
        }
        return true;
    default:
        break;
    }
    if (HandleCommonCommand(command))
        return true;
    if (command >= ccSetMarker0 && command <= ccSetMarker0 + 9) {
        ToggleBookmark(command - ccSetMarker0);
        return true;
    }
    if (command >= ccGotoMarker0 && command <= ccGotoMarker0 + 9) {
        const ViewerPos mark = m_bookmarks[static_cast<std::size_t>(command - ccGotoMarker0)];
        if (mark.Line >= 0)
            MoveCaretTo(mark.Line, mark.Char, false);
        return true;
    }
    return false;
}

void TOvcBaseViewer::MoveCharacters(int delta, bool extend)
{
    if (delta < 0 && m_caretChar == 0 && m_caretLine > 0)
        MoveCaretTo(m_caretLine - 1, LineLength(m_caretLine - 1), extend);
    else if (delta > 0 && m_caretChar >= LineLength(m_caretLine) && m_caretLine < m_lineCount - 1)
        MoveCaretTo(m_caretLine + 1, 0, extend);
    else
        MoveCaret(delta, 0, false, extend, false);
}

void TOvcBaseViewer::MoveWord(int direction, bool extend)
{
    int line = m_caretLine;
    int pos = m_caretChar;
    std::string_view text = Line(line);
    if (direction > 0) {
        if (pos >= static_cast<int>(text.size()) && line < m_lineCount - 1) {
            MoveCaretTo(line + 1, 0, extend);
            return;
        }
        while (pos < static_cast<int>(text.size()) && !IsBlank(text[static_cast<std::size_t>(pos)]))
            ++pos;
        while (pos < static_cast<int>(text.size()) && IsBlank(text[static_cast<std::size_t>(pos)]))
            ++pos;
    } else {
        if (pos == 0 && line > 0) {
            MoveCaretTo(line - 1, LineLength(line - 1), extend);
            return;
        }
        while (pos > 0 && IsBlank(text[static_cast<std::size_t>(pos - 1)]))
            --pos;
        while (pos > 0 && !IsBlank(text[static_cast<std::size_t>(pos - 1)]))
            --pos;
    }
    MoveCaretTo(line, pos, extend);
}

ViewerPos TOvcBaseViewer::PositionAtPoint(const QPoint& point)
{
    int column;
    if (point.x() < kMarginWidth)
        column = std::max(m_leftColumn - 1, 0);
    else if (point.x() >= ColumnX(m_visibleColumns))
        column = m_leftColumn + m_visibleColumns;
    else
        column = static_cast<int>((point.x() - kMarginWidth) / m_charAdvance) + m_leftColumn;
    int line;
    if (point.y() < 0)
        line = std::max(m_topLine - 1, 0);
    else if (point.y() >= m_visibleRows * m_rowHeight)
        line = m_topLine + m_visibleRows;
    else
        line = point.y() / m_rowHeight + m_topLine;
    line = std::clamp(line, 0, std::max(0, m_lineCount - 1));
    const int character = CharAtColumn(Line(line), column, m_tabSize, m_expandTabs);
    return ViewerPos{line, character};
}

void TOvcBaseViewer::SelectLines(int anchorLine, int line)
{
    if (line >= anchorLine)
        SetHighlight(anchorLine, 0, line, LineLength(line), true);
    else
        SetHighlight(line, 0, anchorLine, LineLength(anchorLine), false);
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
    const ViewerPos pos = PositionAtPoint(point);
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    m_mouseDown = true;
    m_lastMousePos = point;
    m_mouseInMargin = point.x() < kMarginWidth;
    if (m_mouseInMargin) {
        m_marginAnchorLine = (shift && pos.Line != m_caretLine) ? m_caretLine : pos.Line;
        SelectLines(m_marginAnchorLine, pos.Line);
    } else {
        MoveCaretTo(pos.Line, pos.Char, shift);
    }
    m_trackTimer.start();
}

void TOvcBaseViewer::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    m_marginMode = point.x() < kMarginWidth;
    viewport()->setCursor(m_marginMode ? Qt::PointingHandCursor : Qt::IBeamCursor);
    if (!m_mouseDown)
        return;
    m_lastMousePos = point;
    TrackMouse();
}

void TOvcBaseViewer::TrackMouse()
{
    if (!m_mouseDown)
        return;
    const ViewerPos pos = PositionAtPoint(m_lastMousePos);
    if (m_mouseInMargin)
        SelectLines(m_marginAnchorLine, pos.Line);
    else
        MoveCaretTo(pos.Line, pos.Char, true);
}

void TOvcBaseViewer::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        TOvcBase::mouseReleaseEvent(event);
        return;
    }
    m_mouseDown = false;
    m_trackTimer.stop();
    event->accept();
}

void TOvcBaseViewer::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || event->position().x() < kMarginWidth || m_lineCount == 0) {
        mousePressEvent(event);
        return;
    }
    SelectWordAt(PositionAtPoint(event->position().toPoint()));
}

void TOvcBaseViewer::SelectWordAt(const ViewerPos& pos)
{
    const std::string_view text = Line(pos.Line);
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

void TOvcBaseViewer::wheelEvent(QWheelEvent* event)
{
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0)
        Scroll(0, -notches * 3);
    event->accept();
}

void TOvcBaseViewer::focusInEvent(QFocusEvent* event)
{
    TOvcBase::focusInEvent(event);
    if (m_showCaret)
        viewport()->update(CaretRect());
}

void TOvcBaseViewer::focusOutEvent(QFocusEvent* event)
{
    TOvcBase::focusOutEvent(event);
    if (m_showCaret)
        viewport()->update(CaretRect());
}
