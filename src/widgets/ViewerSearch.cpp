// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ViewerSearch.h"

#include "widgets/HorspoolMatcher.h"
#include "widgets/ViewerLineSource.h"

#include <algorithm>

std::optional<ViewerMatch> FindInLines(ViewerLineSource& lines, std::string_view pattern, unsigned options,
                                       ViewerPos caret)
{
    const HorspoolMatcher matcher(pattern, (options & sfMatchCase) != 0);
    const int count = lines.LineCount();
    if (matcher.IsEmpty() || count == 0)
        return std::nullopt;
    const bool backward = (options & sfBackward) != 0;
    ViewerPos start = caret;
    if (options & sfEntireText)
        start = backward ? ViewerPos{count - 1, static_cast<int>(lines.Line(count - 1).size())} : ViewerPos{};
    const int length = static_cast<int>(matcher.PatternLength());
    const auto match = [&](int line, std::size_t found) {
        const int at = static_cast<int>(found);
        return ViewerMatch{{line, at}, {line, at + length}};
    };
    if (!backward) {
        for (int line = std::max(0, start.Line); line < count; ++line) {
            const std::size_t from =
                line == start.Line ? static_cast<std::size_t>(std::max(0, start.Char)) : 0;
            const std::size_t found = matcher.FindForward(lines.Line(line), from);
            if (found != HorspoolMatcher::npos)
                return match(line, found);
        }
    } else {
        for (int line = std::min(start.Line, count - 1); line >= 0; --line) {
            const std::string_view text = lines.Line(line);
            const std::size_t limit =
                line == start.Line ? static_cast<std::size_t>(std::max(0, start.Char)) : text.size();
            const std::size_t found = matcher.FindBackward(text, limit);
            if (found != HorspoolMatcher::npos)
                return match(line, found);
        }
    }
    return std::nullopt;
}
