// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TopicHistory.h"

void TopicHistory::Visit(std::size_t topic)
{
    if (!m_topics.empty() && m_topics[m_position] == topic)
        return;
    if (!m_topics.empty())
        m_topics.resize(++m_position);
    m_topics.push_back(topic);
}

std::optional<std::size_t> TopicHistory::Back()
{
    if (!CanGoBack())
        return std::nullopt;
    return m_topics[--m_position];
}

std::optional<std::size_t> TopicHistory::Forward()
{
    if (!CanGoForward())
        return std::nullopt;
    return m_topics[++m_position];
}

void TopicHistory::Clear()
{
    m_topics.clear();
    m_position = 0;
}
