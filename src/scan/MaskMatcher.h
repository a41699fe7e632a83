// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// Removes the characters of code 32 and below from both ends of a mask (or any field).
std::string_view TrimControlAndBlanks(std::string_view text);

// A file-name mask such as "*.*" or "*.tmp". "*" matches any run of characters, "?" exactly one
// character (one well-formed UTF-8 sequence, else one byte); letters a-z match either case, every
// other byte only itself. A mask ending in ".*" also matches a name without any "." when the part
// before ".*" matches the whole name, so "*.*" matches every name and "readme.*" matches "readme".
// The mask is used as given: trim it first.
class MaskMatcher
{
public:
    explicit MaskMatcher(std::string mask);

    bool matches(std::string_view name) const;
    const std::string& mask() const { return m_mask; }

private:
    std::string m_mask;
    bool m_matchesEverything = false;
    bool m_endsInDotStar = false;
};
