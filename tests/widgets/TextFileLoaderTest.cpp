// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TextFileLoader.h"
#include "widgets/TVwrStringList.h"

#include "TempTree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const TVwrStringList& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.emplace_back(list.Line(i));
    return out;
}

// The same text split into pieces of every size must give the same lines, so that a line end or a
// long line across a read boundary is handled.
std::vector<std::string> Split(const std::string& text)
{
    std::vector<std::string> whole;
    for (std::size_t piece : {text.size() + 1, std::size_t{1}, std::size_t{2}, std::size_t{7}}) {
        TVwrStringList list;
        TextLineSplitter splitter(list);
        for (std::size_t i = 0; i < text.size(); i += piece)
            splitter.Feed(std::string_view(text).substr(i, piece));
        splitter.Finish();
        if (piece == text.size() + 1)
            whole = Lines(list);
        else
            EXPECT_EQ(Lines(list), whole) << "pieces of " << piece;
    }
    return whole;
}

using V = std::vector<std::string>;

TEST(TextLineSplitter, LineEnds)
{
    EXPECT_EQ(Split(""), V({""}));
    EXPECT_EQ(Split("a\r\nb\r\n"), V({"a", "b", ""}));
    EXPECT_EQ(Split("a\r\nb"), V({"a", "b", ""}));
    EXPECT_EQ(Split("a\rb\r"), V({"a", "b", ""}));
    EXPECT_EQ(Split("a\nb\n"), V({"a", "b", ""}));
    EXPECT_EQ(Split("a\n\r\nb"), V({"a", "", "b", ""}));
    EXPECT_EQ(Split("a\r\rb"), V({"a", "", "b", ""}));
    EXPECT_EQ(Split("\r\n"), V({"", ""}));
}

TEST(TextLineSplitter, CtrlZEndsTheText)
{
    EXPECT_EQ(Split("a\r\nb\x1a"
                    "c\r\nd\r\n"),
              V({"a", "b", ""}));
    EXPECT_EQ(Split("a\r\n\x1a"
                    "c"),
              V({"a", ""}));
    EXPECT_EQ(Split("\x1a"), V({""}));
}

TEST(TextLineSplitter, LongLinesKeepTheirFirst1023Characters)
{
    std::string text(2000, 'x');
    text[1022] = 'E';
    text[1023] = 'F';
    text += "\r\nnext\r\n";
    const auto lines = Split(text);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), 1023u);
    EXPECT_EQ(lines[0].back(), 'E');
    EXPECT_EQ(lines[1], "next");
}

TEST(TextLineSplitter, TheCutNeverKeepsHalfACharacter)
{
    const std::string e = "\xc3\xa9";
    const auto lines = Split(std::string(1022, 'x') + e + "rest\r\n" + std::string(1021, 'x') + e + "\r\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::string(1022, 'x')) << "the letter across the limit goes entirely";
    EXPECT_EQ(lines[1], std::string(1021, 'x') + e) << "a letter that ends at the limit stays";
}

class TextFileLoaderTest : public ::testing::Test
{
protected:
    std::string Write(const std::string& name, const std::string& bytes)
    {
        const std::string path = m_tree.path(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    TempTree m_tree;
    const std::string m_dir = m_tree.root().substr(0, m_tree.root().size() - 1);
};

TEST_F(TextFileLoaderTest, LoadsAFileAndReportsItsSize)
{
    TVwrStringList lines;
    EXPECT_EQ(LoadTextFile(Write("a.txt", "one\r\ntwo\nthree"), lines), 14);
    EXPECT_EQ(Lines(lines), V({"one", "two", "three", ""}));
    EXPECT_EQ(LoadTextFile(Write("empty.txt", ""), lines), 0);
    EXPECT_EQ(Lines(lines), V({""}));
}

TEST_F(TextFileLoaderTest, OpeningErrorsCarryErrnoAndTheViewersMessage)
{
    TVwrStringList lines;
    lines.Append("old");
    auto expectError = [&](const std::string& path, int code, const char* message) {
        try {
            LoadTextFile(path, lines);
            ADD_FAILURE() << path << " opened";
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.ErrorCode(), code) << path;
            EXPECT_STREQ(e.what(), message) << path;
        }
        EXPECT_EQ(lines.Count(), 0);
    };
    expectError(m_dir + "/missing.txt", ENOENT, "Viewer: file not found");
    expectError(m_dir + "/nodir/missing.txt", ENOENT, "Viewer: path not found or invalid file name");
    expectError(Write("plain", "x") + "/below", ENOTDIR, "Viewer: path not found or invalid file name");
    expectError(m_dir, EISDIR, "Viewer: file access denied");
    EXPECT_STREQ(ViewerOpenError(EMFILE).what(), "Viewer: too many open files");
    EXPECT_STREQ(ViewerOpenError(EIO).what(), "Viewer triggered I/O error 5");
}

} // namespace
