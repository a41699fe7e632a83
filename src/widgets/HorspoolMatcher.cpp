// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/HorspoolMatcher.h"

#include "platform/Utf8.h"

#include <algorithm>

HorspoolMatcher::HorspoolMatcher(std::string_view pattern, bool matchCase)
{
    for (int c = 0; c < 256; ++c)
        m_fold[c] = static_cast<unsigned char>((!matchCase && c >= 'A' && c <= 'Z') ? c + 32 : c);
    pattern = pattern.substr(0, Utf8Prefix(pattern, 255));
    m_pattern.reserve(pattern.size());
    for (char c : pattern)
        m_pattern.push_back(static_cast<char>(Fold(c)));
    const std::size_t length = m_pattern.size();
    m_shift.fill(length);
    for (std::size_t i = 0; i + 1 < length; ++i)
        m_shift[static_cast<unsigned char>(m_pattern[i])] = length - 1 - i;
}

std::size_t HorspoolMatcher::FindForward(std::string_view text, std::size_t from) const
{
    const std::size_t length = m_pattern.size();
    if (length == 0 || from > text.size() || text.size() - from < length)
        return npos;
    const auto* t = reinterpret_cast<const unsigned char*>(text.data());
    const auto* p = reinterpret_cast<const unsigned char*>(m_pattern.data());
    const unsigned char last = p[length - 1];
    std::size_t pos = from;
    const std::size_t end = text.size() - length;
    while (pos <= end) {
        const unsigned char c = m_fold[t[pos + length - 1]];
        if (c == last) {
            std::size_t i = 0;
            while (i + 1 < length && m_fold[t[pos + i]] == p[i])
                ++i;
            if (i + 1 >= length)
                return pos;
        }
        pos += m_shift[c];
    }
    return npos;
}

std::size_t HorspoolMatcher::FindBackward(std::string_view text, std::size_t endLimit) const
{
    const std::string_view prefix = text.substr(0, std::min(endLimit, text.size()));
    std::size_t found = npos;
    for (std::size_t pos = FindForward(prefix, 0); pos != npos; pos = FindForward(prefix, pos + 1))
        found = pos;
    return found;
}
