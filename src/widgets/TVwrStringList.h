// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// One stored line. The characters follow the node in the same allocation, zero-terminated.
struct TStringNode
{
    TStringNode* Prev = nullptr;
    TStringNode* Next = nullptr;
    std::uint16_t Length = 0;

    const char* Chars() const { return reinterpret_cast<const char*>(this + 1); }
};

// The viewer's line store: a doubly linked list of lines between two sentinels, appended to while a
// file loads and read by index afterwards. A lookup remembers where it ended, so walking the lines in
// order (painting, printing, searching) costs one step per line. Nodes live in large blocks owned by
// the list, so a million short lines cost a million small records, not a million heap allocations.
class TVwrStringList
{
public:
    TVwrStringList();
    TVwrStringList(const TVwrStringList&) = delete;
    TVwrStringList& operator=(const TVwrStringList&) = delete;

    // Appends a copy of line; lines longer than 65535 characters keep their first 65535.
    void Append(std::string_view line);
    int Count() const { return m_count; }
    // The node of line index, or nullptr outside 0 ... Count()-1.
    const TStringNode* Node(int index) const;
    // The characters of line index; an empty view outside the range.
    std::string_view Line(int index) const;
    void Clear();
    // Bytes held by the blocks, for the benchmark's memory figure.
    std::size_t AllocatedBytes() const;

private:
    char* Allocate(std::size_t bytes);

    TStringNode m_head;
    TStringNode m_tail;
    int m_count = 0;
    mutable int m_cacheIndex = -1;
    mutable const TStringNode* m_cacheNode = nullptr;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::vector<std::size_t> m_blockSizes;
    std::size_t m_blockUsed = 0;
};
