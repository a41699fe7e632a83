// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/RowMarks.h"

#include <functional>

// Marks first ... last but the rows isProtected names; false when every one of them was marked
// already (or protected).
bool MarkUnprotected(RowMarks& marks, int first, int last, const std::function<bool(int row)>& isProtected);

// The marks of a Shift range being moved from an anchor: each move marks the rows from the anchor to
// the range's new end, and the rows the range no longer covers get back the marks they had before the
// range began. Only the rows between the old and the new end change.
class ShiftRange
{
public:
    // Moves the range's end to index (the first move starts it at anchor, remembering the marks as they
    // are). Returns false when no mark changed; else first ... last hold every row that may have.
    bool ExtendTo(RowMarks& marks, int anchor, int index, const std::function<bool(int row)>& isProtected,
                  int& first, int& last);
    // The next move starts a new range.
    void End() { m_end = -1; }

private:
    RowMarks m_base; // the marks as they were before the range began
    int m_end = -1;  // where the range ends; -1 when none is being moved
};
