// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LocaleSettings.h"

#include <cstdint>
#include <string>
#include <vector>

class ResultTable;
class RowMarks;
struct ContentClasses;

// What the marks of the result list come to.
struct MarkedTotal
{
    int count = 0;
    std::int64_t bytes = 0;   // the sizes the report listed
    std::vector<int> deleted; // marked rows whose files are in the trash already
};

// The rows the marking commands of the main window act on, worked out from the report on screen, its
// content classes and the list's marks. Plain C++: the window asks, then marks what it is told.
class MarkCommands
{
public:
    // All three outlive the object.
    MarkCommands(const ResultTable& table, const ContentClasses& classes, const RowMarks& marks);

    // Mark Copies: in every class of every group, each file but the one kept, that is not marked yet.
    // The file kept is the newest (last written) of the class that is not marked; of equal times the
    // first row. So Mark Copies never marks the last unmarked file of a class, and a class whose files
    // are all marked by hand gets nothing more. "?" rows and rows with no class (deleted ones among
    // them, see ContentColumn::rowDeleted) are never returned. Ascending rows; none before a check.
    std::vector<int> copies() const;
    // The rows of the group row belongs to (between separator rows, or the whole report when it has
    // none), as first and last; {-1, -1} for a separator or a row outside the report.
    std::pair<int, int> group(int row) const;
    // The marks in row order, and what they add up to.
    std::vector<int> markedRows() const;
    MarkedTotal total() const;

    // "1,234 marked (5.6 GB)".
    static std::string StatusText(const MarkedTotal& total, const LocaleSettings& locale);
    // "Move 1,234 marked files (5.6 GB) to the trash?"; "1 marked file" for one.
    static std::string DeleteQuestion(const MarkedTotal& total, const LocaleSettings& locale);

private:
    const ResultTable& m_table;
    const ContentClasses& m_classes;
    const RowMarks& m_marks;
};
