// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ReportFormatter.h"

#include "scan/ReportFields.h"

#include <algorithm>

namespace {

const char* ModeName(ScanMode mode)
{
    switch (mode) {
    case ScanMode::Duplicates:
        return "dupes";
    case ScanMode::LargerThan:
        return "size";
    case ScanMode::ZeroLength:
        break;
    }
    return "zero";
}

} // namespace

ReportFormatter::ReportFormatter(const ResultTable& table, ReportFormat format, ScanMode mode,
                                 const ContentClasses* content)
    : m_table(table), m_format(format), m_mode(mode), m_content(content)
{
    if (m_mode != ScanMode::Duplicates)
        return;
    bool groupStarts = true;
    for (int row = 0; row <= m_table.LastRow(); ++row) {
        if (m_table.isSeparator(row)) {
            groupStarts = true;
        } else if (groupStarts) {
            m_groupStarts.push_back(row);
            groupStarts = false;
        }
    }
}

int ReportFormatter::groupOf(int row) const
{
    return static_cast<int>(std::upper_bound(m_groupStarts.begin(), m_groupStarts.end(), row) -
                            m_groupStarts.begin());
}

std::string ReportFormatter::head() const
{
    const bool grouped = m_mode == ScanMode::Duplicates;
    switch (m_format) {
    case ReportFormat::Text:
        break;
    case ReportFormat::Csv:
        return std::string(grouped ? "time,size,path,group" : "time,size,path") +
               (m_content ? ",content\r\n" : "\r\n");
    case ReportFormat::Json:
        return std::string("{\n  \"report\": \"") + ModeName(m_mode) + "\",\n  \"rows\": [";
    }
    return {};
}

void ReportFormatter::appendRows(int first, int end, std::string& out) const
{
    if (m_format == ReportFormat::Text) {
        for (int row = first; row < end; ++row) {
            out += m_table.RowTexts(row);
            if (m_content && !m_table.isSeparator(row)) {
                out += '\t';
                out += m_content->text(row);
            }
            out += '\n';
        }
        return;
    }

    const bool grouped = m_mode == ScanMode::Duplicates;
    int group = grouped ? groupOf(first) : 0;
    for (int row = first; row < end; ++row) {
        const int index = m_table.rowEntry(row);
        if (index < 0) {
            ++group; // a separator ends a group; no group is empty
            continue;
        }
        const entrytype& entry = m_table.EntryTable[index];
        const std::string path = m_table.path(index);
        if (m_format == ReportFormat::Csv) {
            out += IsoLocalTime(entry.time);
            out += ',';
            out += std::to_string(entry.size);
            out += ',';
            out += CsvField(path);
            if (grouped) {
                out += ',';
                out += std::to_string(group);
            }
            if (m_content) {
                out += ',';
                out += m_content->text(row);
            }
            out += "\r\n";
            continue;
        }
        // Row 0 is never a separator, so every later object follows another one.
        out += row == 0 ? "\n    {\"time\": \"" : ",\n    {\"time\": \"";
        out += IsoLocalTime(entry.time);
        out += "\", \"size\": ";
        out += std::to_string(entry.size);
        out += ", \"path\": ";
        if (IsValidUtf8(path)) {
            out += JsonString(path);
        } else {
            out += JsonString(WithReplacementCharacters(path));
            out += ", \"path_base64\": \"";
            out += Base64(path);
            out += '"';
        }
        if (grouped) {
            out += ", \"group\": ";
            out += std::to_string(group);
        }
        if (m_content) {
            out += ", \"content\": \"";
            out += m_content->text(row);
            out += '"';
        }
        out += '}';
    }
}

std::string ReportFormatter::tail(const std::string& outcomeText) const
{
    if (m_format != ReportFormat::Json)
        return {};
    return std::string(m_table.LastRow() < 0 ? "]" : "\n  ]") +
           ",\n  \"outcome\": " + JsonString(WithReplacementCharacters(outcomeText)) + "\n}\n";
}
