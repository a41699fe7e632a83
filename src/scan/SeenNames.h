// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string_view>

// Remembers, for the threads of a duplicates walk, which name keys were met so far. A file whose
// name was met before will be listed, so the walk measures it at once while its directory is open;
// only the first file of each name is left to be measured after the walk, when it is known whether
// the name repeats. One bit per hash value: a different name with the same bit only makes the walk
// measure a file early, never changes a result.
class SeenNames
{
public:
    SeenNames();

    // Records the key of a bare file name (a-z compared without case); true when a key with the
    // same hash was recorded before.
    bool seenBefore(std::string_view name);

private:
    static constexpr std::uint64_t kBits = std::uint64_t{1} << 25; // 4 MiB
    std::unique_ptr<std::atomic<std::uint64_t>[]> m_bits;
};
