// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/RowMarks.h"

#include <algorithm>
#include <bit>

namespace {

constexpr int kBits = 64;
constexpr std::uint64_t kAll = ~std::uint64_t{0};

} // namespace

void RowMarks::Reset(int rows)
{
    m_words.clear();
    m_rows = std::max(rows, 0);
    m_count = 0;
}

bool RowMarks::IsMarked(int row) const
{
    if (row < 0)
        return false;
    const auto word = static_cast<std::size_t>(row / kBits);
    return word < m_words.size() && ((m_words[word] >> (row % kBits)) & 1u) != 0;
}

bool RowMarks::SetRange(int first, int last, bool marked)
{
    first = std::max(first, 0);
    last = std::min(last, m_rows - 1);
    if (first > last)
        return false;
    const auto firstWord = static_cast<std::size_t>(first / kBits);
    const auto lastWord = static_cast<std::size_t>(last / kBits);
    if (marked && m_words.size() <= lastWord)
        m_words.resize(lastWord + 1);
    // Unmarking never needs words past the highest mark.
    const std::size_t end = std::min(lastWord + 1, m_words.size());
    bool changed = false;
    for (std::size_t w = firstWord; w < end; ++w) {
        std::uint64_t mask = kAll;
        if (w == firstWord)
            mask &= kAll << (first % kBits);
        if (w == lastWord)
            mask &= kAll >> (kBits - 1 - last % kBits);
        const std::uint64_t old = m_words[w];
        const std::uint64_t now = marked ? old | mask : old & ~mask;
        if (now != old) {
            m_count += std::popcount(now) - std::popcount(old);
            m_words[w] = now;
            changed = true;
        }
    }
    return changed;
}

int RowMarks::NextMarked(int row) const
{
    row = std::max(row, 0);
    auto w = static_cast<std::size_t>(row / kBits);
    if (w >= m_words.size())
        return -1;
    std::uint64_t bits = m_words[w] & (kAll << (row % kBits));
    while (bits == 0) {
        if (++w == m_words.size())
            return -1;
        bits = m_words[w];
    }
    return static_cast<int>(w * kBits + static_cast<std::size_t>(std::countr_zero(bits)));
}
