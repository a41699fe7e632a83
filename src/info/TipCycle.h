// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

// Which tip shows: the tips in order from a starting index, after the last one the first again.
class TipCycle
{
public:
    // start is taken modulo the number of tips.
    explicit TipCycle(int start);

    int Index() const { return m_index; }
    std::string_view Current() const;
    // Moves to the next tip and returns its text.
    std::string_view Next();

private:
    int m_index;
};
