// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ContentColumn.h"

#include "scan/ResultTable.h"
#include "scan/RowForms.h"

#include <algorithm>
#include <utility>

std::string ContentColumn::rowText(const ResultTable& table, int row) const
{
    return shown() ? table.RowTexts(row, m_classes.text(row)) : table.RowTexts(row);
}

std::string_view ContentColumn::header() const
{
    return shown() ? kContentListHeader : kResultListHeader;
}

void ContentColumn::rowDeleted(const ResultTable& table, int row)
{
    std::vector<std::int32_t>& of = m_classes.ofRow;
    if (row < 0 || row >= static_cast<int>(of.size()))
        return;
    const std::int32_t number = std::exchange(of[row], ContentClasses::kNoCopy);
    if (number <= 0)
        return;
    // A class of n files counted n - 1 copies.
    --m_classes.copies;
    int first = row;
    while (first > 0 && !table.isSeparator(first - 1))
        --first;
    int end = row + 1;
    while (end < static_cast<int>(of.size()) && !table.isSeparator(end))
        ++end;
    const auto group = of.begin() + first;
    const auto groupEnd = of.begin() + end;
    if (std::count(group, groupEnd, number) == 1)
        *std::find(group, groupEnd, number) = ContentClasses::kNoCopy;
    if (std::none_of(group, groupEnd, [](std::int32_t n) { return n > 0; }))
        --m_classes.groups;
}
