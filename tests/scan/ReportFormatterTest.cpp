// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ReportFormatter.h"
#include "scan/ReportFields.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <tuple>

namespace {

void setZone(const char* zone)
{
    setenv("TZ", zone, 1);
    tzset();
}

// A duplicates report of three groups, the second path not UTF-8, as the grouping pass leaves it.
ResultTable DuplicatesTable()
{
    ResultTable table;
    table.addDirectory("/d/");
    const auto add = [&table](std::string name, std::int64_t size, std::int64_t time) {
        entrytype e;
        e.name = std::move(name);
        e.size = size;
        e.time = time;
        table.appendEntry(e);
        table.addRow(table.LastEntry());
    };
    add("a,b", 1234567, 912870246); // 1998-12-05 15:04:06 UTC
    add("bad\xFF.txt", 0, 912816000);
    table.addSeparatorRow();
    add("say \"hi\"", 5, 912870246);
    add("new\nline", 6, 912870246);
    add("plain", 7, 912870246);
    table.addSeparatorRow();
    add("caf\xC3\xA9", 8, 912870246);
    add("x", 9, 912870246);
    return table;
}

std::string Whole(const ReportFormatter& formatter, const ResultTable& table)
{
    std::string out = formatter.head();
    formatter.appendRows(0, table.LastRow() + 1, out);
    return out + formatter.tail("Dust Complete: 3 Groups Found");
}

} // namespace

TEST(ReportFields, IllFormedUtf8IsReplacedPartByPart)
{
    const std::string R = "\xEF\xBF\xBD"; // U+FFFD
    const std::pair<std::string, std::string> cases[] = {
        {"caf\xC3\xA9 \xF0\x9F\x98\x80", "caf\xC3\xA9 \xF0\x9F\x98\x80"}, // two and four bytes
        {"bad\xFF\xFE.txt", "bad" + R + R + ".txt"},
        {"\xE2\x82-", R + "-"},              // cut short: one part
        {"\xF0\x9F\x98", R},                 // cut short before its last byte
        {"\xC0\xAF", R + R},                 // overlong: C0 never starts a character
        {"\xE0\x80\x80", R + R + R},         // overlong three-byte form
        {"\xED\xA0\x80", R + R + R},         // a surrogate
        {"\xF4\x90\x80\x80", R + R + R + R}, // above U+10FFFF
        {"\x80x", R + "x"},                  // a stray continuation byte
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(WithReplacementCharacters(in), out) << in;
        EXPECT_EQ(IsValidUtf8(in), in == out) << in;
    }
}

TEST(ReportFields, JsonEscapesControlCharacters)
{
    // Quotes, commas, line ends and backslashes are read back by real parsers in report_formats.
    EXPECT_EQ(JsonString(std::string("\n\r\t\x01\x1F\0", 6)), "\"\\n\\r\\t\\u0001\\u001f\\u0000\"");
}

TEST(ReportFields, IsoTimesCarryTheZonesOffset)
{
    const std::tuple<const char*, std::int64_t, const char*> cases[] = {
        {"UTC", 912870246, "1998-12-05T15:04:06+00:00"},
        {"UTC", -1, "1969-12-31T23:59:59+00:00"},
        {"Europe/Berlin", 912870246, "1998-12-05T16:04:06+01:00"},
        {"Europe/Berlin", -2524521600, "1890-01-01T00:53:28+00:53:28"}, // local mean time: seconds
        {"America/New_York", 912870246, "1998-12-05T10:04:06-05:00"},
        {"Asia/Kathmandu", 1625140800, "2021-07-01T17:45:00+05:45"},
    };
    for (const auto& [zone, time, text] : cases) {
        setZone(zone);
        EXPECT_EQ(IsoLocalTime(time), text) << zone;
    }
}

TEST(ReportFormatter, RowsComposedInPiecesJoinToTheWholeDocument)
{
    // The report is written in blocks, split anywhere, also on a separator: the group numbers and the
    // JSON commas must come out as in one piece. (report_formats reads whole documents back.)
    setZone("UTC");
    const ResultTable table = DuplicatesTable();
    for (ReportFormat format : {ReportFormat::Csv, ReportFormat::Json}) {
        const ReportFormatter f(table, format, ScanMode::Duplicates);
        for (int split = 0; split <= table.LastRow() + 1; ++split) {
            std::string pieces = f.head();
            f.appendRows(0, split, pieces);
            f.appendRows(split, table.LastRow() + 1, pieces);
            EXPECT_EQ(pieces + f.tail("Dust Complete: 3 Groups Found"), Whole(f, table)) << split;
        }
    }
    EXPECT_NE(
        Whole(ReportFormatter(table, ReportFormat::Csv, ScanMode::Duplicates), table).find(",9,/d/x,3\r\n"),
        std::string::npos);
}

TEST(ReportFormatter, ContentClassesFollowEachFileRow)
{
    setZone("UTC");
    const ResultTable table = DuplicatesTable();
    ContentClasses content;
    content.ofRow = {1, ContentClasses::kUnknown, 0, 0, 1};
    const auto rows = [&](ReportFormat format) {
        const ReportFormatter formatter(table, format, ScanMode::Duplicates, &content);
        std::string out = formatter.head();
        formatter.appendRows(0, 4, out);
        return out;
    };
    EXPECT_NE(rows(ReportFormat::Text).find("/d/bad\xFF.txt\t?\n\n"),
              std::string::npos); // no column on a separator
    EXPECT_EQ(rows(ReportFormat::Csv), "time,size,path,group,content\r\n"
                                       "1998-12-05T15:04:06+00:00,1234567,\"/d/a,b\",1,=1\r\n"
                                       "1998-12-05T00:00:00+00:00,0,/d/bad\xFF.txt,1,?\r\n"
                                       "1998-12-05T15:04:06+00:00,5,\"/d/say \"\"hi\"\"\",2,\r\n");
    EXPECT_NE(rows(ReportFormat::Json).find("\"group\": 1, \"content\": \"=1\"},"), std::string::npos);
}
