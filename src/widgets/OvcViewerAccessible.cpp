// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/OvcViewerAccessible.h"

#include "widgets/TOvcBaseViewer.h"

#include <algorithm>

OvcViewerAccessible::OvcViewerAccessible(TOvcBaseViewer* viewer)
    : QAccessibleWidget(viewer, QAccessible::EditableText)
{}

TOvcBaseViewer* OvcViewerAccessible::Viewer() const
{
    return static_cast<TOvcBaseViewer*>(widget());
}

void* OvcViewerAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State OvcViewerAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.multiLine = true;
    return s;
}

QString OvcViewerAccessible::VisibleText() const
{
    TOvcBaseViewer* viewer = Viewer();
    const int last = std::min(viewer->LineCount(), viewer->TopLine() + viewer->VisibleRows());
    QStringList lines;
    for (int line = viewer->TopLine(); line < last; ++line) {
        const std::string_view chars = viewer->Line(line);
        lines << QString::fromUtf8(chars.data(), static_cast<qsizetype>(chars.size()));
    }
    return lines.join(QLatin1Char('\n'));
}

int OvcViewerAccessible::OffsetOf(int line, int character) const
{
    TOvcBaseViewer* viewer = Viewer();
    if (line < viewer->TopLine() ||
        line >= std::min(viewer->LineCount(), viewer->TopLine() + viewer->VisibleRows()))
        return -1;
    int offset = 0;
    for (int l = viewer->TopLine(); l < line; ++l) {
        const std::string_view chars = viewer->Line(l);
        offset +=
            static_cast<int>(QString::fromUtf8(chars.data(), static_cast<qsizetype>(chars.size())).size()) +
            1;
    }
    const std::string_view chars =
        viewer->Line(line).substr(0, static_cast<std::size_t>(std::max(0, character)));
    return offset +
           static_cast<int>(QString::fromUtf8(chars.data(), static_cast<qsizetype>(chars.size())).size());
}

QString OvcViewerAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return VisibleText();
    return QAccessibleWidget::text(t);
}

void OvcViewerAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || selectionCount() == 0)
        return;
    const TOvcBaseViewer* viewer = Viewer();
    const ViewerPos start = viewer->HighlightStart();
    const ViewerPos end = viewer->HighlightEnd();
    const int top = viewer->TopLine();
    const int last = top + viewer->VisibleRows() - 1;
    // Clip the highlight to the lines on screen.
    *startOffset = start.Line < top ? 0 : OffsetOf(start.Line, start.Char);
    *endOffset = end.Line > last ? characterCount() : OffsetOf(end.Line, end.Char);
}

int OvcViewerAccessible::selectionCount() const
{
    const TOvcBaseViewer* viewer = Viewer();
    if (!viewer->HasHighlight())
        return 0;
    const int top = viewer->TopLine();
    const int last = top + viewer->VisibleRows() - 1;
    return viewer->HighlightEnd().Line < top || viewer->HighlightStart().Line > last ? 0 : 1;
}

int OvcViewerAccessible::cursorPosition() const
{
    const ViewerPos caret = Viewer()->Caret();
    return std::max(0, OffsetOf(caret.Line, caret.Char));
}

QString OvcViewerAccessible::text(int startOffset, int endOffset) const
{
    const QString all = VisibleText();
    startOffset = std::clamp(startOffset, 0, static_cast<int>(all.size()));
    endOffset = std::clamp(endOffset, startOffset, static_cast<int>(all.size()));
    return all.mid(startOffset, endOffset - startOffset);
}

int OvcViewerAccessible::characterCount() const
{
    return static_cast<int>(VisibleText().size());
}

QRect OvcViewerAccessible::characterRect(int offset) const
{
    const QString all = VisibleText();
    if (offset < 0 || offset > all.size())
        return {};
    const int row = static_cast<int>(all.left(offset).count(QLatin1Char('\n')));
    const int column =
        offset - (row == 0 ? 0 : static_cast<int>(all.lastIndexOf(QLatin1Char('\n'), offset - 1)) + 1);
    const TOvcBaseViewer* viewer = Viewer();
    const QPoint local(TOvcBaseViewer::kMarginWidth +
                           static_cast<int>((column - viewer->LeftColumn()) * viewer->CharAdvance()),
                       row * viewer->RowHeight());
    return QRect(viewer->viewport()->mapToGlobal(local), QSize(viewer->CharWidth(), viewer->RowHeight()));
}

int OvcViewerAccessible::offsetAtPoint(const QPoint& point) const
{
    TOvcBaseViewer* viewer = Viewer();
    const QPoint local = viewer->viewport()->mapFromGlobal(point);
    if (!viewer->viewport()->rect().contains(local) || viewer->LineCount() == 0)
        return -1;
    const ViewerPos pos = viewer->PositionAtPoint(local);
    return OffsetOf(pos.Line, pos.Char);
}

QString OvcViewerAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = offset;
    return {};
}
