// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ShiftRange.h"

#include <algorithm>

bool MarkUnprotected(RowMarks& marks, int first, int last, const std::function<bool(int row)>& isProtected)
{
    if (!marks.SetRange(first, last, true))
        return false;
    for (int row = first; row <= last; ++row)
        if (isProtected(row))
            marks.Set(row, false);
    return true;
}

bool ShiftRange::ExtendTo(RowMarks& marks, int anchor, int index,
                          const std::function<bool(int row)>& isProtected, int& first, int& last)
{
    if (m_end < 0) {
        m_base = marks;
        m_end = anchor;
    }
    // The rows the range leaves lie on one side of it at most.
    first = std::min(index, m_end);
    last = std::max(index, m_end);
    const int low = std::min(anchor, index);
    const int high = std::max(anchor, index);
    const int leaveFirst = first < low ? first : high + 1;
    const int leaveLast = first < low ? low - 1 : last;
    bool changed = marks.SetRange(leaveFirst, leaveLast, false);
    for (int row = m_base.NextMarked(leaveFirst); row >= 0 && row <= leaveLast;
         row = m_base.NextMarked(row + 1))
        marks.Set(row, true);
    changed = MarkUnprotected(marks, std::max(first, low), std::min(last, high), isProtected) || changed;
    m_end = index;
    return changed;
}
