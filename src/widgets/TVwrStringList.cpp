// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TVwrStringList.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {
constexpr std::size_t kBlockSize = 1 << 20;
constexpr std::size_t kAlign = alignof(TStringNode);
} // namespace

TVwrStringList::TVwrStringList()
{
    m_head.Next = &m_tail;
    m_tail.Prev = &m_head;
}

char* TVwrStringList::Allocate(std::size_t bytes)
{
    bytes = (bytes + kAlign - 1) & ~(kAlign - 1);
    if (m_blocks.empty() || m_blockUsed + bytes > m_blockSizes.back()) {
        const std::size_t size = std::max(kBlockSize, bytes);
        // Not zero-filled: every byte handed out is written by Append.
        m_blocks.push_back(std::unique_ptr<char[]>(new char[size]));
        m_blockSizes.push_back(size);
        m_blockUsed = 0;
    }
    char* p = m_blocks.back().get() + m_blockUsed;
    m_blockUsed += bytes;
    return p;
}

void TVwrStringList::Append(std::string_view line)
{
    const std::size_t length = std::min<std::size_t>(line.size(), 0xFFFF);
    char* memory = Allocate(sizeof(TStringNode) + length + 1);
    auto* node = new (memory) TStringNode;
    char* chars = memory + sizeof(TStringNode);
    std::copy_n(line.data(), length, chars); // an empty view may hold no pointer, which memcpy refuses
    chars[length] = '\0';
    node->Length = static_cast<std::uint16_t>(length);
    node->Prev = m_tail.Prev;
    node->Next = &m_tail;
    m_tail.Prev->Next = node;
    m_tail.Prev = node;
    ++m_count;
}

const TStringNode* TVwrStringList::Node(int index) const
{
    if (index < 0 || index >= m_count)
        return nullptr;
    const TStringNode* node = nullptr;
    if (index == 0) {
        node = m_head.Next;
    } else if (index == m_count - 1) {
        node = m_tail.Prev;
    } else if (m_cacheNode && index == m_cacheIndex) {
        node = m_cacheNode;
    } else if (m_cacheNode && index == m_cacheIndex + 1) {
        node = m_cacheNode->Next;
    } else if (m_cacheNode && index == m_cacheIndex - 1) {
        node = m_cacheNode->Prev;
    } else {
        // Walk from the nearest of head, cached node and tail.
        int from = 0;
        node = m_head.Next;
        int distance = index;
        if (m_cacheNode && std::abs(index - m_cacheIndex) < distance) {
            from = m_cacheIndex;
            node = m_cacheNode;
            distance = std::abs(index - m_cacheIndex);
        }
        if (m_count - 1 - index < distance) {
            from = m_count - 1;
            node = m_tail.Prev;
        }
        for (; from < index; ++from)
            node = node->Next;
        for (; from > index; --from)
            node = node->Prev;
    }
    m_cacheIndex = index;
    m_cacheNode = node;
    return node;
}

std::string_view TVwrStringList::Line(int index) const
{
    const TStringNode* node = Node(index);
    return node ? std::string_view(node->Chars(), node->Length) : std::string_view();
}

void TVwrStringList::Clear()
{
    m_blocks.clear();
    m_blockSizes.clear();
    m_blockUsed = 0;
    m_head.Next = &m_tail;
    m_tail.Prev = &m_head;
    m_count = 0;
    m_cacheIndex = -1;
    m_cacheNode = nullptr;
}

std::size_t TVwrStringList::AllocatedBytes() const
{
    std::size_t total = 0;
    for (std::size_t size : m_blockSizes)
        total += size;
    return total;
}
