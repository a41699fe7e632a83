// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/ContentCheck.h"
#include "scan/ResultTable.h"
#include "scan/ScanMode.h"

#include <string>
#include <vector>

// How a finished report is written for a reader.
enum class ReportFormat
{
    Text, // the rows as the result list shows them, an empty line between groups of duplicates
    Csv,  // RFC 4180: a header line, then one record per file, CR LF line ends
    Json, // one document: the report's mode, an array of one object per file, and the outcome
};

// Writes the rows of a finished report in one of the formats, in pieces that can be composed on
// several threads at once and joined in order: head(), then the rows of consecutive ranges, then
// tail(). The table must stay unchanged while the formatter is used.
//
// CSV and JSON give each file its local time in ISO 8601 with the UTC offset, its size in bytes and
// its path; a duplicates report adds the group number, counting from 1 in the order the text shows
// the groups. Separator rows give no record. A CSV path holds the exact bytes on disk; a JSON
// "path" is text, so a path that is not UTF-8 is written there with U+FFFD, and its exact bytes go
// to "path_base64" as well.
class ReportFormatter
{
public:
    ReportFormatter(const ResultTable& table, ReportFormat format, ScanMode mode,
                    const ContentClasses* content = nullptr);

    // The CSV header line or the JSON document up to its rows; empty for text.
    std::string head() const;
    // Appends the rows first to end - 1.
    void appendRows(int first, int end, std::string& out) const;
    // The end of the JSON document with the outcome, which comes last, as it is known only once the
    // rows are written; empty for the others.
    std::string tail(const std::string& outcomeText) const;

    // The group of a row of a duplicates report, counting from 1; 0 for other reports.
    int groupOf(int row) const;

private:
    const ResultTable& m_table;
    ReportFormat m_format;
    ScanMode m_mode;
    const ContentClasses* m_content;
    std::vector<int> m_groupStarts; // duplicates: the first row of each group
};
