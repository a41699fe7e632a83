// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HelpDocument.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace {

const char* const kSample =
    R"(<html><head><title> Sample &amp; Co </title><STYLE>h2 { color: red; }</STYLE></head><body>
<p>Before any topic.</p>
<h1 id="START">Welcome</h1><p>First.</p>
<h2>No id, so part of Welcome</h2>
<h2 class="t" ID='B2'>Size &amp; <i>limits</i></h2><p>Second.</p><h3 id="SUB">Sub heading stays inside</h3>
<h2 id=C3>contents</h2><p>Third.</p>
</body><p>after the body</p></html>)";

} // namespace

TEST(HelpDocument, TopicsStartAtHeadingsWithAnId)
{
    const HelpDocument doc = HelpDocument::Parse(kSample);
    ASSERT_EQ(doc.topics().size(), 3u);
    EXPECT_EQ(doc.topics()[0].id, "START");
    EXPECT_EQ(doc.topics()[0].title, "Welcome");
    EXPECT_NE(doc.topics()[0].html.find("No id, so part of Welcome"), std::string::npos);
    EXPECT_EQ(doc.topics()[0].html.find("Before any topic"), std::string::npos);

    EXPECT_EQ(doc.topics()[1].id, "B2");
    EXPECT_EQ(doc.topics()[1].title, "Size & limits");
    EXPECT_NE(doc.topics()[1].html.find("Sub heading stays inside"), std::string::npos);

    EXPECT_EQ(doc.topics()[2].id, "C3");
    EXPECT_NE(doc.topics()[2].html.find("Third."), std::string::npos);
    EXPECT_EQ(doc.topics()[2].html.find("after the body"), std::string::npos);
    EXPECT_EQ(doc.style(), "h2 { color: red; }");
    EXPECT_EQ(doc.title(), "Sample & Co");

    EXPECT_EQ(doc.find("B2"), &doc.topics()[1]);
    EXPECT_EQ(doc.find("b2"), nullptr);
    EXPECT_EQ(doc.find("SUB"), nullptr);
}

TEST(HelpDocument, IndexFiltersTitlesWithoutRegardToCaseInTitleOrder)
{
    const HelpDocument doc = HelpDocument::Parse(kSample);
    const auto titles = [&](std::string_view filter) {
        std::vector<std::string> out;
        for (size_t i : doc.indexEntries(filter))
            out.push_back(doc.topics()[i].title);
        return out;
    };
    EXPECT_EQ(titles(""), (std::vector<std::string>{"contents", "Size & limits", "Welcome"}));
    EXPECT_EQ(titles("LIM"), (std::vector<std::string>{"Size & limits"}));
    EXPECT_TRUE(titles("zzz").empty());
}

TEST(HelpDocument, MalformedTextGivesNoTopicsAndAMissingFileNothing)
{
    EXPECT_TRUE(HelpDocument::Parse("").topics().empty());
    EXPECT_TRUE(HelpDocument::Parse("<h2 id=\"X\">never closed").topics().empty());
    EXPECT_TRUE(HelpDocument::Parse("<h2 id=\"\">empty id</h2>").topics().empty());
    EXPECT_TRUE(HelpDocument::Parse("<hr id=\"X\"><h2 id=\"Y\">y</h2>").find("Y"));
    EXPECT_FALSE(HelpDocument::Load("/nonexistent/Lintwick.hlp"));
}

TEST(ShippedHelpFile, HasEveryKeyedTopicAndNoDeadLinksOrRealContactData)
{
    const auto doc = HelpDocument::Load(LINTWICK_SOURCE_DIR "/help/Lintwick.hlp");
    ASSERT_TRUE(doc);
    std::set<std::string> ids;
    for (const HelpTopic& topic : doc->topics()) {
        EXPECT_TRUE(ids.insert(topic.id).second) << "twice: " << topic.id;
        EXPECT_FALSE(topic.title.empty());
    }
    // The six keys the windows open, and the reports, deleting and printing.
    for (const char* key :
         {"SCRIBBLE20", "SCRIBBLE30", "SCRIBBLE40", "SCRIBBLE90", "SCRIBBLE100", "SCRIBBLE230", "SCRIBBLE50",
          "SCRIBBLE60", "SCRIBBLE70", "SCRIBBLE80", "SCRIBBLE85"})
        EXPECT_TRUE(ids.count(key)) << key;

    // Every link leads to a topic; phone numbers and mail addresses are the reserved fictional ones.
    const auto each = [](const std::string& text, const char* pattern, const auto& check) {
        const std::regex re(pattern);
        for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
            check((*it)[it->size() > 1 ? 1 : 0].str());
    };
    for (const HelpTopic& topic : doc->topics()) {
        each(topic.html, R"(href="#([^"]*)\")",
             [&](const std::string& id) { EXPECT_TRUE(ids.count(id)) << id; });
        each(topic.html, R"(\d{3}-\d{4})",
             [](const std::string& n) { EXPECT_TRUE(n.starts_with("555-01")) << n; });
        each(topic.html, R"([a-z]+@([a-z.]+))",
             [](const std::string& host) { EXPECT_TRUE(host.ends_with(".example")) << host; });
        EXPECT_EQ(topic.html.find("http"), std::string::npos) << topic.id;
    }
}
