// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HelpDocument.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

char Fold(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Folded(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), Fold);
    return out;
}

// Finds s in html from pos, comparing a-z without regard to case; npos when absent.
size_t FindFolded(std::string_view html, std::string_view s, size_t pos)
{
    const auto found = std::search(html.begin() + std::min(pos, html.size()), html.end(), s.begin(), s.end(),
                                   [](char a, char b) { return Fold(a) == Fold(b); });
    return found == html.end() ? std::string_view::npos : static_cast<size_t>(found - html.begin());
}

std::string PlainText(std::string_view html)
{
    std::string text;
    bool inTag = false;
    for (char c : html) {
        if (c == '<')
            inTag = true;
        else if (c == '>')
            inTag = false;
        else if (!inTag)
            text += c;
    }
    static const std::pair<std::string_view, std::string_view> kEntities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&nbsp;", " "}, {"&amp;", "&"}};
    for (const auto& [entity, replacement] : kEntities) {
        for (size_t at = text.find(entity); at != std::string::npos;
             at = text.find(entity, at + replacement.size()))
            text.replace(at, entity.size(), replacement);
    }
    const size_t first = text.find_first_not_of(" \t\r\n");
    const size_t last = text.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// The value of the id attribute inside one start tag, or empty.
std::string IdOf(std::string_view tag)
{
    for (size_t at = FindFolded(tag, "id", 0); at != std::string_view::npos;
         at = FindFolded(tag, "id", at + 2)) {
        const char before = tag[at - 1];
        if (before != ' ' && before != '\t' && before != '\n')
            continue;
        size_t pos = at + 2;
        while (pos < tag.size() && tag[pos] == ' ')
            ++pos;
        if (pos >= tag.size() || tag[pos] != '=')
            continue;
        ++pos;
        while (pos < tag.size() && tag[pos] == ' ')
            ++pos;
        if (pos >= tag.size())
            return {};
        const char quote = tag[pos];
        if (quote == '"' || quote == '\'') {
            const size_t end = tag.find(quote, pos + 1);
            return end == std::string_view::npos ? std::string()
                                                 : std::string(tag.substr(pos + 1, end - pos - 1));
        }
        const size_t end = tag.find_first_of(" \t\n>", pos);
        return std::string(tag.substr(pos, end - pos));
    }
    return {};
}

// The raw text inside the first <name ...> ... </name>, or empty.
std::string ElementText(std::string_view html, std::string_view name)
{
    const size_t tag = FindFolded(html, "<" + std::string(name), 0);
    if (tag == std::string_view::npos)
        return {};
    const size_t start = html.find('>', tag);
    const size_t end = FindFolded(html, "</" + std::string(name), tag);
    if (start == std::string_view::npos || end == std::string_view::npos || start > end)
        return {};
    return std::string(html.substr(start + 1, end - start - 1));
}

struct Heading
{
    size_t start; // of the start tag
    size_t end;   // just past the end tag
    std::string id;
    std::string title;
};

std::vector<Heading> TopicHeadings(std::string_view html)
{
    std::vector<Heading> headings;
    for (size_t at = FindFolded(html, "<h", 0); at != std::string_view::npos;
         at = FindFolded(html, "<h", at + 2)) {
        if (at + 3 >= html.size() || (html[at + 2] != '1' && html[at + 2] != '2'))
            continue;
        const char level = html[at + 2];
        const char after = html[at + 3];
        if (after != '>' && after != ' ' && after != '\t' && after != '\n')
            continue;
        const size_t tagEnd = html.find('>', at);
        if (tagEnd == std::string_view::npos)
            break;
        std::string id = IdOf(html.substr(at + 1, tagEnd - at - 1));
        if (id.empty())
            continue;
        const std::string closing = std::string("</h") + level;
        const size_t close = FindFolded(html, closing, tagEnd);
        if (close == std::string_view::npos)
            break;
        const size_t closeEnd = html.find('>', close);
        const size_t end = closeEnd == std::string_view::npos ? html.size() : closeEnd + 1;
        headings.push_back({at, end, std::move(id), PlainText(html.substr(tagEnd + 1, close - tagEnd - 1))});
        at = end - 2;
    }
    return headings;
}

} // namespace

HelpDocument HelpDocument::Parse(std::string_view html)
{
    HelpDocument document;
    document.m_style = ElementText(html, "style");
    document.m_title = PlainText(ElementText(html, "title"));

    size_t bodyEnd = FindFolded(html, "</body", 0);
    if (bodyEnd == std::string_view::npos)
        bodyEnd = html.size();
    const std::vector<Heading> headings = TopicHeadings(html.substr(0, bodyEnd));
    for (size_t i = 0; i < headings.size(); ++i) {
        const size_t end = i + 1 < headings.size() ? headings[i + 1].start : bodyEnd;
        document.m_topics.push_back({headings[i].id, headings[i].title,
                                     std::string(html.substr(headings[i].start, end - headings[i].start))});
    }
    return document;
}

std::optional<HelpDocument> HelpDocument::Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return Parse(text.str());
}

const HelpTopic* HelpDocument::find(std::string_view id) const
{
    const auto found =
        std::find_if(m_topics.begin(), m_topics.end(), [&](const HelpTopic& t) { return t.id == id; });
    return found == m_topics.end() ? nullptr : &*found;
}

std::vector<size_t> HelpDocument::indexEntries(std::string_view filter) const
{
    const std::string wanted = Folded(filter);
    std::vector<size_t> entries;
    for (size_t i = 0; i < m_topics.size(); ++i) {
        if (Folded(m_topics[i].title).find(wanted) != std::string::npos)
            entries.push_back(i);
    }
    std::stable_sort(entries.begin(), entries.end(), [&](size_t a, size_t b) {
        return Folded(m_topics[a].title) < Folded(m_topics[b].title);
    });
    return entries;
}
