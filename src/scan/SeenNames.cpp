// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/SeenNames.h"

SeenNames::SeenNames()
    : m_seen(new std::atomic<std::uint64_t>[kBits / 64]()),
      m_repeated(new std::atomic<std::uint64_t>[kBits / 64]())
{}

std::uint64_t SeenNames::bitOf(std::string_view name)
{
    // FNV-1a over the upper-cased bytes, finished with a multiply so that the high bits mix too.
    std::uint64_t h = 14695981039346656037ull;
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        h = (h ^ u) * 1099511628211ull;
    }
    h = (h ^ (h >> 29)) * 0xbf58476d1ce4e5b9ull;
    return (h >> 20) % kBits;
}

bool SeenNames::seenBefore(std::string_view name)
{
    const std::uint64_t bit = bitOf(name);
    const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
    if ((m_seen[bit / 64].fetch_or(mask, std::memory_order_relaxed) & mask) == 0)
        return false;
    if ((m_repeated[bit / 64].load(std::memory_order_relaxed) & mask) == 0)
        m_repeated[bit / 64].fetch_or(mask, std::memory_order_relaxed);
    return true;
}

bool SeenNames::repeated(std::string_view name) const
{
    const std::uint64_t bit = bitOf(name);
    return (m_repeated[bit / 64].load(std::memory_order_relaxed) & (std::uint64_t{1} << (bit % 64))) != 0;
}
