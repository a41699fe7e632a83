// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// The topics a help viewer has shown, in order, for its Back and Forward commands as a web browser
// has them: going back and then to a new topic drops the topics that were ahead.
class TopicHistory
{
public:
    // The viewer shows topic. Showing the current topic again adds nothing, so a viewer can record
    // every topic it shows, including those it reached by Back and Forward.
    void Visit(std::size_t topic);
    bool CanGoBack() const { return m_position > 0; }
    bool CanGoForward() const { return m_position + 1 < m_topics.size(); }
    // Steps back or forward and returns the topic there; nothing when there is no such step.
    std::optional<std::size_t> Back();
    std::optional<std::size_t> Forward();
    // Forgets every topic, as when another help file is opened.
    void Clear();

private:
    std::vector<std::size_t> m_topics;
    std::size_t m_position = 0; // index of the current topic in m_topics, when there is one
};
