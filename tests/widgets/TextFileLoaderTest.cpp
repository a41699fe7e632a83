// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TextFileLoader.h"
#include "widgets/TVwrStringList.h"

#include "TempTree.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fstream>
#include <string>
#include <thread>
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

TEST(TVwrStringList, LookupsInAnyOrderFindTheRightLineAlsoAfterAReload)
{
    TVwrStringList list;
    for (int i = 0; i < 1000; ++i)
        list.Append("line " + std::to_string(i));
    ASSERT_EQ(list.Count(), 1000);
    // Jumps in both directions, neighbours of the cache, the ends and outside the range.
    for (int index : {500, 501, 500, 499, 0, 999, 3, 998, 250, 750, 751, 10, 990}) {
        EXPECT_EQ(list.Line(index), "line " + std::to_string(index));
    }
    EXPECT_EQ(list.Node(-1), nullptr);
    EXPECT_EQ(list.Node(1000), nullptr);
    EXPECT_EQ(list.Line(1000), "");
    EXPECT_EQ(list.Node(7)->Chars()[list.Node(7)->Length], '\0');
    list.Clear(); // a reload
    EXPECT_EQ(list.Node(0), nullptr);
    list.Append("again");
    EXPECT_EQ(list.Line(0), "again");
}

TEST(TextLineSplitter, LineEndsAndCtrlZ)
{
    const std::pair<std::string, V> cases[] = {
        {"", {""}},
        {"a\r\nb\r\n", {"a", "b", ""}},
        {"a\r\nb", {"a", "b", ""}},
        {"a\rb\r", {"a", "b", ""}},
        {"a\nb\n", {"a", "b", ""}},
        {"a\n\r\nb", {"a", "", "b", ""}},
        {"a\r\rb", {"a", "", "b", ""}},
        {"\r\n", {"", ""}},
        {"a\r\nb\x1a" + std::string("c\r\nd\r\n"), {"a", "b", ""}},
        {"a\r\n\x1a" + std::string("c"), {"a", ""}},
        {"\x1a", {""}},
    };
    for (const auto& [text, lines] : cases)
        EXPECT_EQ(Split(text), lines) << text;
}

// The first 1023 bytes of a line stay, and a character across the cut goes entirely.
TEST(TextLineSplitter, LongLinesKeepTheirFirst1023BytesAndWholeCharacters)
{
    const std::string e = "\xc3\xa9";
    std::string text(2000, 'x');
    text[1022] = 'E';
    text[1023] = 'F';
    text += "\r\nnext\r\n" + std::string(1022, 'x') + e + "rest\r\n" + std::string(1021, 'x') + e + "\r\n";
    const auto lines = Split(text);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].size(), 1023u);
    EXPECT_EQ(lines[0].back(), 'E');
    EXPECT_EQ(lines[1], "next");
    EXPECT_EQ(lines[2], std::string(1022, 'x')) << "the letter across the limit goes entirely";
    EXPECT_EQ(lines[3], std::string(1021, 'x') + e) << "a letter that ends at the limit stays";
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

TEST_F(TextFileLoaderTest, AFileThatKeepsGrowingIsReadToItsSizeAtOpening)
{
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "line " + std::to_string(i) + "\n";
    const std::string path = Write("growing.txt", text);
    std::atomic<int> chunks = 0;
    std::atomic<bool> loaded = false;
    std::thread writer([&] {
        std::ofstream out(path, std::ios::binary | std::ios::app);
        std::string chunk;
        while (chunk.size() < 65536)
            chunk += "grown while the viewer reads\n";
        // Up to 16 MB, while the reader is still at work.
        while (!loaded && chunks < 256) {
            out << chunk << std::flush;
            ++chunks;
        }
    });
    while (chunks == 0)
        std::this_thread::yield();
    TVwrStringList lines;
    const std::int64_t size = LoadTextFile(path, lines);
    loaded = true;
    writer.join();

    const std::string prefix = ReadWholeFile(path).substr(0, static_cast<std::size_t>(size));
    ASSERT_GT(prefix.size(), text.size());
    const auto ends = std::count(prefix.begin(), prefix.end(), '\n');
    EXPECT_EQ(lines.Count(), ends + (prefix.back() == '\n' ? 1 : 2)) << "lines written after the opening";
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
}

} // namespace
