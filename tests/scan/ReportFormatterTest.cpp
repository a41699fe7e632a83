// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ReportFormatter.h"
#include "scan/ReportFields.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <tuple>

namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

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
    const std::string R = kReplacement;
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

TEST(ReportFields, CsvAndJsonEscapes)
{
    // Commas, quotes, line feeds and bytes that are not UTF-8: see the whole documents below.
    EXPECT_EQ(CsvField("cr\r"), "\"cr\r\"");
    EXPECT_EQ(JsonString("q\"b\\s/"), "\"q\\\"b\\\\s/\"");
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

TEST(ReportFormatter, CsvAndJsonNumberTheGroupsAndKeepEveryByte)
{
    setZone("UTC");
    const ResultTable table = DuplicatesTable();
    const ReportFormatter csv(table, ReportFormat::Csv, ScanMode::Duplicates);
    EXPECT_EQ(Whole(csv, table), "time,size,path,group\r\n"
                                 "1998-12-05T15:04:06+00:00,1234567,\"/d/a,b\",1\r\n"
                                 "1998-12-05T00:00:00+00:00,0,/d/bad\xFF.txt,1\r\n"
                                 "1998-12-05T15:04:06+00:00,5,\"/d/say \"\"hi\"\"\",2\r\n"
                                 "1998-12-05T15:04:06+00:00,6,\"/d/new\nline\",2\r\n"
                                 "1998-12-05T15:04:06+00:00,7,/d/plain,2\r\n"
                                 "1998-12-05T15:04:06+00:00,8,/d/caf\xC3\xA9,3\r\n"
                                 "1998-12-05T15:04:06+00:00,9,/d/x,3\r\n");

    const ReportFormatter json(table, ReportFormat::Json, ScanMode::Duplicates);
    const std::string t = "{\"time\": \"1998-12-05T15:04:06+00:00\", ";
    EXPECT_EQ(Whole(json, table),
              "{\n  \"report\": \"dupes\",\n  \"rows\": [\n    " + t +
                  "\"size\": 1234567, \"path\": \"/d/a,b\", \"group\": 1},\n"
                  "    {\"time\": \"1998-12-05T00:00:00+00:00\", \"size\": 0, \"path\": \"/d/bad" +
                  kReplacement + ".txt\", \"path_base64\": \"L2QvYmFk/y50eHQ=\", \"group\": 1},\n    " + t +
                  "\"size\": 5, \"path\": \"/d/say \\\"hi\\\"\", \"group\": 2},\n    " + t +
                  "\"size\": 6, \"path\": \"/d/new\\nline\", \"group\": 2},\n    " + t +
                  "\"size\": 7, \"path\": \"/d/plain\", \"group\": 2},\n    " + t +
                  "\"size\": 8, \"path\": \"/d/caf\xC3\xA9\", \"group\": 3},\n    " + t +
                  "\"size\": 9, \"path\": \"/d/x\", \"group\": 3}\n"
                  "  ],\n  \"outcome\": \"Dust Complete: 3 Groups Found\"\n}\n");

    // Rows composed in pieces, split anywhere (also on a separator), join to the same document.
    for (int split = 0; split <= table.LastRow() + 1; ++split) {
        for (const ReportFormatter* f : {&csv, &json}) {
            std::string pieces = f->head();
            f->appendRows(0, split, pieces);
            f->appendRows(split, table.LastRow() + 1, pieces);
            EXPECT_EQ(pieces + f->tail("Dust Complete: 3 Groups Found"), Whole(*f, table)) << split;
        }
    }
}

TEST(ReportFormatter, OtherReportsHaveNoGroupsAndAnEmptyReportIsAWholeDocument)
{
    setZone("UTC");
    ResultTable table = DuplicatesTable();
    const ReportFormatter csv(table, ReportFormat::Csv, ScanMode::ZeroLength);
    std::string out = csv.head();
    csv.appendRows(0, 1, out);
    EXPECT_EQ(out, "time,size,path\r\n1998-12-05T15:04:06+00:00,1234567,\"/d/a,b\"\r\n");
    EXPECT_EQ(csv.groupOf(0), 0);

    table.reset();
    const ReportFormatter json(table, ReportFormat::Json, ScanMode::LargerThan);
    EXPECT_EQ(
        json.head() + json.tail("Dust Complete - Nothing Found"),
        "{\n  \"report\": \"size\",\n  \"rows\": [],\n  \"outcome\": \"Dust Complete - Nothing Found\"\n}\n");
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
