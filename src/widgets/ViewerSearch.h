// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/ViewerTypes.h"

#include <optional>
#include <string_view>

class ViewerLineSource;

struct ViewerMatch
{
    ViewerPos Start;
    ViewerPos End;
};

// Finds pattern (its first 255 bytes, never half a character) in the lines: forward from the caret,
// the first match that starts at or after it; backward (sfBackward), the last match that ends at or
// before it; with sfEntireText from the start of the text (forward) or its end (backward) instead.
// Unless sfMatchCase, letters match whatever their case, by simple Unicode case folding ("äpfel" finds
// "Äpfel"). Offsets are the lines' own bytes, also where a folded letter is longer or shorter. Matches
// never span lines. Nothing for an empty pattern or when there is no match.
std::optional<ViewerMatch> FindInLines(ViewerLineSource& lines, std::string_view pattern, unsigned options,
                                       ViewerPos caret);
