// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/MaskMatcher.h"

#include <gtest/gtest.h>

TEST(MaskMatcher, MatchesAsTheTableSays)
{
    struct Case
    {
        const char* mask;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"*.*", "report.tmp", true},
        {"*.*", "README", true}, // no dot at all
        {"*.*", ".bashrc", true},
        {"*.tmp", "X.TMP", true}, // a-z either case
        {"*.tmp", "x.tmpl", false},
        {"*.tmp", "tmp", false},
        {"readme.*", "readme", true}, // ".*" also matches no extension
        {"readme.*", "readme2", false},
        {"a?x", "abx", true},
        {"a?x", "ax", false},
        {"a?x", "a\xC3\xA9x", true}, // "é" is one character
        {"a?x", "a\xFFx", true},     // a stray byte counts as one
        {"a??x", "a\xC3\xA9x", false},
        {"*\xC3\xA9", "caf\xC3\xA9", true},
        {"*\xC3\xA9", "CAF\xC3\x89", false}, // only a-z fold
        {"*[ab]*", "x[ab]y", true},          // brackets are plain characters
        {"*a*b*c", "aXbXbYc", true},
        {"*a*b*c", "aXbXbYd", false},
        {"**.log", "x.log", true},
        {"data??.*", "data1.csv", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MaskMatcher(c.mask).matches(c.name), c.matches) << c.mask << " vs " << c.name;
}

TEST(MaskMatcher, TrimsCodesUpToBlank)
{
    // A mask of blanks alone is refused: see the report command's tests.
    EXPECT_EQ(TrimControlAndBlanks(" \x01*.t mp\x1F\t\r\n"), "*.t mp");
    EXPECT_EQ(TrimControlAndBlanks("\xC3\xA9"), "\xC3\xA9"); // high bytes are not control characters
}
