// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Boyer-Moore-Horspool substring search over bytes. Without matchCase, A to Z match a to z; other bytes
// match only themselves, so UTF-8 text is never split or folded wrongly.
class HorspoolMatcher
{
public:
    // The pattern keeps as many whole characters as fit in its first 255 bytes.
    HorspoolMatcher(std::string_view pattern, bool matchCase);

    bool IsEmpty() const { return m_pattern.empty(); }
    // The pattern as it is looked for: cut, and without matchCase in lower case.
    const std::string& Pattern() const { return m_pattern; }
    std::size_t PatternLength() const { return m_pattern.size(); }
    // Offset of the first match that starts at or after from and lies wholly in text, or npos.
    std::size_t FindForward(std::string_view text, std::size_t from) const;
    // Offset of the last match that ends at or before endLimit, or npos.
    std::size_t FindBackward(std::string_view text, std::size_t endLimit) const;

    static constexpr std::size_t npos = std::string_view::npos;

private:
    unsigned char Fold(char c) const { return m_fold[static_cast<unsigned char>(c)]; }

    std::string m_pattern;
    std::array<unsigned char, 256> m_fold{};
    std::array<std::size_t, 256> m_shift{};
};
