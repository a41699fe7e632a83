// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/MarkCommands.h"

#include "scan/ContentCheck.h"
#include "scan/ResultTable.h"
#include "scan/RowForms.h"
#include "widgets/RowMarks.h"

#include <algorithm>
#include <utility>

MarkCommands::MarkCommands(const ResultTable& table, const ContentClasses& classes, const RowMarks& marks)
    : m_table(table), m_classes(classes), m_marks(marks)
{}

std::vector<int> MarkCommands::copies() const
{
    const std::vector<std::int32_t>& of = m_classes.ofRow;
    const int rows = std::min(m_table.LastRow() + 1, static_cast<int>(of.size()));
    std::vector<int> marked;
    // (class, row) of one group at a time: groups are small, and sorting them puts each class's rows
    // together in row order.
    std::vector<std::pair<std::int32_t, int>> members;
    const auto markGroup = [&] {
        std::sort(members.begin(), members.end());
        for (auto first = members.begin(); first != members.end();) {
            const auto end =
                std::find_if(first, members.end(), [&](const auto& m) { return m.first != first->first; });
            int kept = -1;
            for (auto m = first; m != end; ++m) {
                const std::int64_t time = m_table.EntryTable[m_table.rowEntry(m->second)].time;
                if (!m_marks.IsMarked(m->second) &&
                    (kept < 0 || time > m_table.EntryTable[m_table.rowEntry(kept)].time))
                    kept = m->second;
            }
            for (auto m = first; kept >= 0 && m != end; ++m) {
                if (m->second != kept && !m_marks.IsMarked(m->second))
                    marked.push_back(m->second);
            }
            first = end;
        }
        members.clear();
    };
    for (int row = 0; row < rows; ++row) {
        if (m_table.isSeparator(row))
            markGroup();
        else if (of[row] > 0)
            members.emplace_back(of[row], row);
    }
    markGroup();
    std::sort(marked.begin(), marked.end());
    return marked;
}

std::pair<int, int> MarkCommands::group(int row) const
{
    if (row < 0 || row > m_table.LastRow() || m_table.isSeparator(row))
        return {-1, -1};
    int first = row;
    while (first > 0 && !m_table.isSeparator(first - 1))
        --first;
    int last = row;
    while (last < m_table.LastRow() && !m_table.isSeparator(last + 1))
        ++last;
    return {first, last};
}

std::vector<int> MarkCommands::markedRows() const
{
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(m_marks.Count()));
    for (int row = m_marks.NextMarked(0); row >= 0; row = m_marks.NextMarked(row + 1))
        rows.push_back(row);
    return rows;
}

MarkedTotal MarkCommands::total() const
{
    MarkedTotal total;
    for (int row = m_marks.NextMarked(0); row >= 0 && row <= m_table.LastRow();
         row = m_marks.NextMarked(row + 1)) {
        if (m_table.isSeparator(row))
            continue;
        if (m_table.DeletedFlags[row] != 0) {
            total.deleted.push_back(row);
            continue;
        }
        ++total.count;
        total.bytes += std::max<std::int64_t>(m_table.EntryTable[m_table.rowEntry(row)].size, 0);
    }
    return total;
}

std::string MarkCommands::StatusText(const MarkedTotal& total, const LocaleSettings& locale)
{
    return SizeText(total.count, locale) + " marked (" + ByteSizeText(total.bytes, locale) + ")";
}

std::string MarkCommands::DeleteQuestion(const MarkedTotal& total, const LocaleSettings& locale)
{
    return "Move " + SizeText(total.count, locale) +
           (total.count == 1 ? " marked file (" : " marked files (") + ByteSizeText(total.bytes, locale) +
           ") to the trash?";
}
