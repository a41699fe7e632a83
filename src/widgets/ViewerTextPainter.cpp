// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ViewerTextPainter.h"

#include "widgets/ViewerColumns.h"

#include <QPainter>

#include <algorithm>

ViewerTextPainter::ViewerTextPainter(QPainter& painter, const QFont& font, qreal cellWidth, int rowHeight,
                                     char defaultChar)
    : m_painter(painter), m_metrics(font), m_cell(cellWidth), m_rowHeight(rowHeight),
      m_defaultChar(defaultChar)
{}

void ViewerTextPainter::DrawLine(qreal x, int top, std::string_view line, int firstColumn, int columns,
                                 int tabSize, bool expandTabs, int highlightFrom, int highlightTo,
                                 const Colours& colours)
{
    const qreal baseline = top + 1 + m_metrics.ascent();
    const int endColumn = firstColumn + columns;
    const auto cellX = [&](int column) { return x + (column - firstColumn) * m_cell; };

    QString run;
    int runColumn = 0;
    bool runHighlighted = false;
    const auto flush = [&] {
        if (run.isEmpty())
            return;
        m_painter.setPen(runHighlighted ? colours.HighlightText : colours.Text);
        m_painter.drawText(QPointF(cellX(runColumn), baseline), run);
        run.clear();
    };

    for (ViewerGridWalker walker(line, tabSize, expandTabs); !walker.AtEnd(); walker.Next()) {
        const int from = std::max(walker.Column(), firstColumn);
        const int to = std::min(walker.Column() + walker.Width(), endColumn);
        if (walker.Column() >= endColumn)
            break;
        if (to <= from)
            continue;
        const bool highlighted = walker.Offset() >= highlightFrom && walker.Offset() < highlightTo;
        if (highlighted)
            m_painter.fillRect(QRectF(cellX(from), top, (to - from) * m_cell, m_rowHeight),
                               colours.HighlightBack);
        char32_t code = walker.Code();
        if (code == U'\t' && expandTabs) {
            flush(); // blanks: nothing to draw over the background
            continue;
        }
        if (code < 0x20)
            code = static_cast<unsigned char>(m_defaultChar);
        if (code < 0x80) {
            if (!run.isEmpty() && (highlighted != runHighlighted || runColumn + run.size() != from))
                flush();
            if (run.isEmpty()) {
                runColumn = from;
                runHighlighted = highlighted;
            }
            run.append(QChar(static_cast<char16_t>(code)));
            continue;
        }
        flush();
        m_painter.setPen(highlighted ? colours.HighlightText : colours.Text);
        DrawWide(cellX(from), baseline, code);
    }
    flush();
}

void ViewerTextPainter::DrawWide(qreal x, qreal baseline, char32_t code)
{
    const QString glyph = QString::fromUcs4(&code, 1);
    const qreal advance = m_metrics.horizontalAdvance(glyph);
    if (advance <= m_cell * 1.05) {
        m_painter.drawText(QPointF(x + std::max<qreal>(0, (m_cell - advance) / 2), baseline), glyph);
        return;
    }
    // A glyph from a wider font (CJK ideographs, emoji) keeps to its one cell.
    m_painter.save();
    m_painter.translate(x, baseline);
    m_painter.scale(m_cell / advance, 1);
    m_painter.drawText(QPointF(0, 0), glyph);
    m_painter.restore();
}
