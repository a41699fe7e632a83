// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ViewerModel.h"
#include "widgets/HorspoolMatcher.h"
#include "widgets/OvcCommands.h"
#include "widgets/ViewerKeyCommands.h"
#include "widgets/ViewerLineSource.h"
#include "widgets/ViewerSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Lines : public ViewerLineSource
{
public:
    explicit Lines(std::vector<std::string> lines) : m_lines(std::move(lines)) {}
    int LineCount() const override { return static_cast<int>(m_lines.size()); }
    std::string_view Line(int line) override
    {
        return line >= 0 && line < LineCount() ? std::string_view(m_lines[static_cast<std::size_t>(line)])
                                               : std::string_view();
    }

private:
    std::vector<std::string> m_lines;
};

TEST(ViewerModel, CaretKeysStepOverWholeCharactersAndKeepTheScreenColumn)
{
    Lines lines({"\xc3\xa9t\xc3\xa9 x", "abcdef", "\xe4\xb8\xad\xe6\x96\x87\xe4\xb8\xad"});
    ViewerModel model(lines);
    model.SetPageSize(10, 40);
    RunViewerCommand(model, ccRight, true);
    EXPECT_EQ(model.State().Caret, (ViewerPos{0, 2})) << "over the two bytes of the first letter";
    RunViewerCommand(model, ccRight, true);
    RunViewerCommand(model, ccExtendRight, true);
    EXPECT_EQ(model.State().HighlightStart, (ViewerPos{0, 3}));
    EXPECT_EQ(model.State().HighlightEnd, (ViewerPos{0, 5}));
    EXPECT_EQ(model.State().CaretColumn, 3);
    RunViewerCommand(model, ccDown, true);
    EXPECT_EQ(model.State().Caret, (ViewerPos{1, 3}));
    RunViewerCommand(model, ccDown, true);
    EXPECT_EQ(model.State().Caret, (ViewerPos{2, 9})) << "column 3 is the end of three characters";
    RunViewerCommand(model, ccLeft, true);
    EXPECT_EQ(model.State().Caret, (ViewerPos{2, 6}));
    RunViewerCommand(model, ccUp, true);
    EXPECT_EQ(model.State().Caret, (ViewerPos{1, 2}));
    EXPECT_EQ(RunViewerCommand(model, ccCopy, false), ViewerCommandResult::Copy) << "copy without a caret";
}

TEST(ViewerSearch, IgnoresTheCaseOfEveryLetterAndAnswersInTheLinesOwnBytes)
{
    // café CAFÉ / Ein Äpfel / ẞ und K (the Kelvin sign) / café again / Ⱥx
    Lines lines({"caf\xc3\xa9 CAF\xc3\x89", "Ein \xc3\x84pfel", "\xe1\xba\x9e und \xe2\x84\xaa",
                 "caf\xc3\xa9 again", "\xc8\xbax"});
    struct Case
    {
        const char* pattern;
        unsigned options;
        ViewerPos caret;
        std::optional<std::pair<ViewerPos, ViewerPos>> match;
    };
    const Case cases[] = {
        {"CAF\xc3\xa9", sfFind, {0, 1}, {{{0, 6}, {0, 11}}}},
        {"\xc3\xa4PFEL", sfFind, {}, {{{1, 4}, {1, 10}}}},
        // Folded forms of another length: ẞ (three bytes) is ß (two), the Kelvin sign a plain k.
        {"\xc3\x9f", sfFind, {}, {{{2, 0}, {2, 3}}}},
        {"K", sfFind, {1, 0}, {{{2, 8}, {2, 11}}}},
        {"UND \xe2\x84\xaa", sfFind, {2, 4}, {{{2, 4}, {2, 11}}}},
        {"und", sfFind, {1, 1}, {{{2, 4}, {2, 7}}}},
        {"\xc3\x9f", sfFind, {2, 1}, std::nullopt},
        {"UND k", sfBackward, {2, 11}, {{{2, 4}, {2, 11}}}},
        {"caf", sfBackward, {3, 2}, {{{0, 6}, {0, 9}}}},
        {"\xe2\xb1\xa5X", sfBackward, {4, 3}, {{{4, 0}, {4, 3}}}}, // Ⱥ (two bytes) folds to ⱥ (three)
        {"CAF", sfMatchCase | sfBackward, {0, 8}, std::nullopt},
        {"", sfFind, {}, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto found = FindInLines(lines, c.pattern, c.options, c.caret);
        EXPECT_EQ(found ? std::optional(std::pair(found->Start, found->End)) : std::nullopt, c.match)
            << c.pattern << " from " << c.caret.Line << ":" << c.caret.Char;
    }
}

constexpr auto npos = HorspoolMatcher::npos;

// Folding of other letters is the search's; the matcher folds a-z, finds from an offset, backwards up
// to a limit, and keeps whole characters when it cuts a pattern to 255 bytes.
TEST(HorspoolMatcher, FindsWholeMatchesForwardFromAnOffsetAndBackwardUpToALimit)
{
    const HorspoolMatcher error("error", false);
    EXPECT_EQ(error.FindForward("an ERROR and an Error", 4), 16u);
    EXPECT_EQ(error.FindForward("an ERROR and an Error", 17), npos);
    EXPECT_EQ(error.FindForward("error", 6), npos) << "an offset past the end";
    EXPECT_EQ(HorspoolMatcher("Error", true).FindForward("an ERROR and an Error", 0), 16u);
    EXPECT_EQ(HorspoolMatcher("abab", false).FindForward("aabababb", 0), 1u);

    const HorspoolMatcher abc("abc", false);
    EXPECT_EQ(abc.FindBackward("abcabcabc_abc", 13), 10u);
    EXPECT_EQ(abc.FindBackward("abcabcabc_abc", 8), 3u);
    EXPECT_EQ(abc.FindBackward("abcabcabc_abc", 2), npos);
    EXPECT_EQ(HorspoolMatcher("aa", false).FindBackward("aaaa", 4), 2u) << "overlapping matches count";

    EXPECT_EQ(HorspoolMatcher(std::string(254, 'x') + "\xc3\xa9", false).PatternLength(), 254u);
    EXPECT_EQ(HorspoolMatcher(std::string(253, 'x') + "\xc3\xa9", false).PatternLength(), 255u);
}

} // namespace
