// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string_view>

// Remembers, for the threads of a duplicates walk, which name keys were met so far. A file whose
// name was met before will be listed, so the walk measures it at once while its directory is open;
// only the first file of each name is left to be measured after the walk, and only when its name
// was met again. Bits per hash value: a different name with the same bit only makes the walk
// measure a file that needs no measuring, never changes a result.
class SeenNames
{
public:
    SeenNames();

    // Records the key of a bare file name (a-z compared without case); true when a key with the
    // same hash was recorded before.
    bool seenBefore(std::string_view name);
    // True when a key with the same hash as name's was recorded twice or more.
    bool repeated(std::string_view name) const;

private:
    static constexpr std::uint64_t kBits = std::uint64_t{1} << 24; // 2 MiB for each of the two
    static std::uint64_t bitOf(std::string_view name);
    std::unique_ptr<std::atomic<std::uint64_t>[]> m_seen;
    std::unique_ptr<std::atomic<std::uint64_t>[]> m_repeated;
};
