// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct HelpTopic
{
    std::string id;    // the key, such as "SCRIBBLE90"
    std::string title; // the heading as plain text
    std::string html;  // from the heading up to the next topic's heading
};

// A help file: HTML in which every <h1> or <h2> that carries an id starts a topic. Text before the
// first such heading belongs to no topic; the page's <style> is kept for showing topics alone.
class HelpDocument
{
public:
    static HelpDocument Parse(std::string_view html);
    // Nothing when the file cannot be read.
    static std::optional<HelpDocument> Load(const std::string& path);

    const std::vector<HelpTopic>& topics() const { return m_topics; }
    const std::string& style() const { return m_style; }
    // The text of the page's <title>, empty when it has none.
    const std::string& title() const { return m_title; }
    // The topic with this id (compared exactly), or nullptr.
    const HelpTopic* find(std::string_view id) const;
    // The index: positions in topics() of the topics whose title contains filter (letters a-z
    // compared without regard to case), ordered by title in the same way. An empty filter lists all.
    std::vector<size_t> indexEntries(std::string_view filter) const;

private:
    std::vector<HelpTopic> m_topics;
    std::string m_style;
    std::string m_title;
};
