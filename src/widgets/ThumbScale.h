// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A linear map between the positions of a scroll bar (0 ... maximum, which stays small enough for
// the bar) and the first row in view (0 ... lastTop, which may be far larger). Both ends map
// exactly, and a position maps back to itself through its row.
class ThumbScale
{
public:
    ThumbScale(int lastTop, int maximum);

    int TopAt(int position) const;
    int PositionOf(int top) const;

private:
    long long m_lastTop;
    long long m_maximum;
};
