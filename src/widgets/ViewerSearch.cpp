// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ViewerSearch.h"

#include "widgets/CaseFolding.h"
#include "widgets/HorspoolMatcher.h"
#include "widgets/ViewerLineSource.h"

#include <algorithm>
#include <utility>

namespace {

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Finds the pattern in one line at a time and answers in the line's own byte offsets.
class LineMatcher
{
public:
    LineMatcher(std::string_view pattern, bool matchCase)
        : m_matcher(matchCase ? std::string(pattern) : FoldCase(pattern), matchCase)
    {
        // Folding keeps ASCII within ASCII, and only two characters beyond it fold into it: the long s
        // and the Kelvin sign. A folded pattern without them and without anything beyond ASCII can
        // only meet ASCII bytes, which the matcher folds by itself, so lines need no folding.
        const std::string& folded = m_matcher.Pattern();
        m_foldLines = !matchCase && !(IsAscii(folded) && folded.find_first_of("ks") == std::string::npos);
    }

    bool IsEmpty() const { return m_matcher.IsEmpty(); }

    // Forward: the first match that starts at or after at. Backward: the last one that ends at or
    // before at.
    std::optional<std::pair<std::size_t, std::size_t>> Find(std::string_view line, std::size_t at,
                                                            bool backward)
    {
        const std::size_t length = m_matcher.PatternLength();
        if (!m_foldLines || IsAscii(line)) {
            const std::size_t found =
                backward ? m_matcher.FindBackward(line, at) : m_matcher.FindForward(line, at);
            if (found == HorspoolMatcher::npos)
                return std::nullopt;
            return std::pair(found, found + length);
        }
        // A folded character can differ in length from its original: the folded line is searched, and
        // its offsets are mapped back by walking the line again, which only a match or the caret's
        // line needs.
        FoldCase(line, m_folded);
        std::size_t from = backward ? m_folded.size() : 0;
        if (at != (backward ? line.size() : 0))
            from = FoldedOffset(line, at);
        const std::size_t found =
            backward ? m_matcher.FindBackward(m_folded, from) : m_matcher.FindForward(m_folded, from);
        if (found == HorspoolMatcher::npos)
            return std::nullopt;
        return std::pair(UnfoldedOffset(line, found), UnfoldedOffset(line, found + length));
    }

private:
    HorspoolMatcher m_matcher;
    bool m_foldLines = false;
    std::string m_folded;
};

} // namespace

std::optional<ViewerMatch> FindInLines(ViewerLineSource& lines, std::string_view pattern, unsigned options,
                                       ViewerPos caret)
{
    LineMatcher matcher(pattern, (options & sfMatchCase) != 0);
    const int count = lines.LineCount();
    if (matcher.IsEmpty() || count == 0)
        return std::nullopt;
    const bool backward = (options & sfBackward) != 0;
    ViewerPos start = caret;
    if (options & sfEntireText)
        start = backward ? ViewerPos{count - 1, static_cast<int>(lines.Line(count - 1).size())} : ViewerPos{};
    const int step = backward ? -1 : 1;
    for (int line = backward ? std::min(start.Line, count - 1) : std::max(start.Line, 0);
         line >= 0 && line < count; line += step) {
        const std::string_view text = lines.Line(line);
        std::size_t at = backward ? text.size() : 0;
        if (line == start.Line)
            at = static_cast<std::size_t>(std::max(0, start.Char));
        if (const auto found = matcher.Find(text, at, backward))
            return ViewerMatch{{line, static_cast<int>(found->first)},
                               {line, static_cast<int>(found->second)}};
    }
    return std::nullopt;
}
