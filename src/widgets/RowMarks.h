// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

// Which rows of a list are marked: one bit per row and a running count, so that marking every row of
// a million-row report is a word-wise fill and reading a mark or the count costs nothing. The rows are
// 0 ... Rows() - 1; a row outside them is never marked. Storage grows only as far as the highest mark,
// so a list of 2147483647 rows costs nothing until its rows are marked.
class RowMarks
{
public:
    // Forgets every mark; the rows become 0 ... rows - 1 (none when rows <= 0).
    void Reset(int rows);
    int Rows() const { return m_rows; }
    int Count() const { return m_count; }
    bool IsMarked(int row) const;
    // Returns whether the mark changed; a row outside the rows is left alone.
    bool Set(int row, bool marked) { return SetRange(row, row, marked); }
    // Sets the rows first ... last that lie within the rows (none when first > last); returns whether
    // any mark changed.
    bool SetRange(int first, int last, bool marked);
    // The first marked row at or after `row`, or -1. The marks in order:
    // for (int r = marks.NextMarked(0); r >= 0; r = marks.NextMarked(r + 1)).
    int NextMarked(int row) const;

private:
    std::vector<std::uint64_t> m_words;
    int m_rows = 0;
    int m_count = 0;
};
