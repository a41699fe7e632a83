// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/ContentCheck.h"

#include <string>
#include <string_view>

class ResultTable;

// The content classes of the duplicates report on screen and the column that shows them, right of
// the size in the list, the printed report and what a screen reader reads. There is no column, and
// the rows and header are the plain ones, until Compare Contents has run on the report.
class ContentColumn
{
public:
    // Whether the report on screen has been compared.
    bool shown() const { return !m_classes.ofRow.empty(); }
    // The classes of its rows, numbered as the table's rows; empty ofRow when not compared.
    const ContentClasses& classes() const { return m_classes; }
    // The classes a check of the report on screen found.
    void set(ContentClasses classes) { m_classes = std::move(classes); }
    // The report went.
    void clear() { m_classes = {}; }

    // The row as the list shows it and the report prints it.
    std::string rowText(const ResultTable& table, int row) const;
    std::string_view header() const;

    // The row's file went to the trash: the row's class is cleared, and a class left with one file
    // of its group loses its number too, so that no row claims a copy that is gone. The other class
    // numbers stay as they are shown; copies and groups follow.
    void rowDeleted(const ResultTable& table, int row);

private:
    ContentClasses m_classes;
};
