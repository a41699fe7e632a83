// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/SeenNames.h"

SeenNames::SeenNames() : m_bits(new std::atomic<std::uint64_t>[kBits / 64]()) {}

bool SeenNames::seenBefore(std::string_view name)
{
    // FNV-1a over the upper-cased bytes, finished with a multiply so that the high bits mix too.
    std::uint64_t h = 14695981039346656037ull;
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        h = (h ^ u) * 1099511628211ull;
    }
    h = (h ^ (h >> 29)) * 0xbf58476d1ce4e5b9ull;
    const std::uint64_t bit = (h >> 20) % kBits;
    const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
    return (m_bits[bit / 64].fetch_or(mask, std::memory_order_relaxed) & mask) != 0;
}
