// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Utf8, WellFormedSequencesAreOneCharacterAndAnythingElseOneByte)
{
    struct Case
    {
        std::string text;
        std::size_t length;
        char32_t code;
    };
    const Case cases[] = {
        {"a", 1, U'a'},
        {"\xc3\xa9", 2, U'é'},
        {"\xe4\xb8\xad", 3, U'中'},
        {"\xf0\x9f\x98\x80", 4, U'😀'},
        {"\xc3", 1, 0xFFFD},             // cut short
        {"\xc0\xaf", 1, 0xFFFD},         // overlong
        {"\xe0\x80\xaf", 1, 0xFFFD},     // overlong
        {"\xed\xa0\x80", 1, 0xFFFD},     // surrogate
        {"\xf4\x90\x80\x80", 1, 0xFFFD}, // above U+10FFFF
        {"\x80", 1, 0xFFFD},             // continuation byte alone
        {"", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8CharLength(c.text, 0), c.length) << c.text;
        EXPECT_EQ(Utf8CharAt(c.text, 0), c.code) << c.text;
    }
}

TEST(Utf8, PrefixesEndOnCharacterBoundaries)
{
    const std::string text = "ab\xe4\xb8\xad"
                             "c";
    EXPECT_EQ(Utf8Prefix(text, 2), 2u);
    EXPECT_EQ(Utf8Prefix(text, 4), 2u) << "half of the three-byte character is left out";
    EXPECT_EQ(Utf8Prefix(text, 5), 5u);
    EXPECT_EQ(Utf8Prefix(text, 99), text.size());
    EXPECT_EQ(Utf8Prefix("\xff\xfe", 1), 1u) << "invalid bytes stand alone";
}

} // namespace
