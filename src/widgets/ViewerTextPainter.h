// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetricsF>

#include <string_view>

class QPainter;

// Draws lines of the viewer on its grid of character cells: every character in a cell of its own,
// whatever font its glyph comes from, so that columns on screen are the columns the viewer counts.
// ASCII runs are drawn as one text (the fixed font's own glyphs fill their cells exactly); other
// characters one by one, squeezed into their cell when their glyph is wider.
class ViewerTextPainter
{
public:
    struct Colours
    {
        QColor Text;
        QColor HighlightText;
        QColor HighlightBack;
    };

    ViewerTextPainter(QPainter& painter, const QFont& font, qreal cellWidth, int rowHeight, char defaultChar);

    // Draws the characters of line that fall in the columns firstColumn ... firstColumn + columns - 1,
    // firstColumn's cell starting at x, the row at top. Characters whose byte offset lies in
    // highlightFrom ... highlightTo - 1 are drawn in the highlight colours; the space after the end of
    // the line never is.
    void DrawLine(qreal x, int top, std::string_view line, int firstColumn, int columns, int tabSize,
                  bool expandTabs, int highlightFrom, int highlightTo, const Colours& colours);

private:
    void DrawWide(qreal x, qreal baseline, char32_t code);

    QPainter& m_painter;
    QFontMetricsF m_metrics;
    qreal m_cell;
    int m_rowHeight;
    char m_defaultChar;
};
