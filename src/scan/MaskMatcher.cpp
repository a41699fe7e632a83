// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/MaskMatcher.h"

namespace {

unsigned char foldAscii(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// Length of the well-formed UTF-8 sequence at the start of s, or 1 when it is not one.
size_t characterLength(std::string_view s)
{
    const auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const auto cont = [&](size_t i) { return i < s.size() && (b(i) & 0xC0) == 0x80; };
    const unsigned char c = b(0);
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF && cont(1))
        return 2;
    if (c >= 0xE0 && c <= 0xEF && cont(1) && cont(2)) {
        if ((c == 0xE0 && b(1) < 0xA0) || (c == 0xED && b(1) > 0x9F))
            return 1; // overlong form or surrogate
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4 && cont(1) && cont(2) && cont(3)) {
        if ((c == 0xF0 && b(1) < 0x90) || (c == 0xF4 && b(1) > 0x8F))
            return 1;
        return 4;
    }
    return 1;
}

// Classic greedy wildcard matching with one back-track point for the last "*": linear in practice
// and never recursive, whatever the mask.
bool wildcardMatch(std::string_view mask, std::string_view name)
{
    size_t m = 0, n = 0;
    size_t starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && mask[m] == '?') {
            ++m;
            n += characterLength(name.substr(n));
        } else if (m < mask.size() && foldAscii(static_cast<unsigned char>(mask[m])) ==
                                          foldAscii(static_cast<unsigned char>(name[n]))) {
            ++m;
            ++n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            starName += characterLength(name.substr(starName));
            n = starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

} // namespace

std::string_view TrimControlAndBlanks(std::string_view text)
{
    const auto low = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!text.empty() && low(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && low(text.back()))
        text.remove_suffix(1);
    return text;
}

MaskMatcher::MaskMatcher(std::string mask)
    : m_mask(std::move(mask)), m_matchesEverything(m_mask == "*" || m_mask == "*.*"),
      m_endsInDotStar(m_mask.size() >= 2 && m_mask.compare(m_mask.size() - 2, 2, ".*") == 0)
{}

bool MaskMatcher::matches(std::string_view name) const
{
    if (m_matchesEverything)
        return true;
    if (wildcardMatch(m_mask, name))
        return true;
    return m_endsInDotStar && name.find('.') == std::string_view::npos &&
           wildcardMatch(std::string_view(m_mask).substr(0, m_mask.size() - 2), name);
}
