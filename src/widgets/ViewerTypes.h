// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <compare>

// A position in the viewer's text: line index and byte offset within the line (0 ... line length).
struct ViewerPos
{
    int Line = 0;
    int Char = 0;
    friend auto operator<=>(const ViewerPos&, const ViewerPos&) = default;
};

// Search options, a set of flags.
enum SearchOption : unsigned
{
    sfFind = 1,
    sfBackward = 2,
    sfMatchCase = 4,
    sfEntireText = 8,
};
