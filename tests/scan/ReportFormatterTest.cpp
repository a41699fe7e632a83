// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ReportFormatter.h"
#include "scan/ReportFields.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

// Runs with TZ set to zone and puts the previous setting back afterwards.
class ZoneScope
{
public:
    explicit ZoneScope(const char* zone)
    {
        if (const char* tz = std::getenv("TZ"))
            m_saved = tz;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope()
    {
        if (m_saved)
            setenv("TZ", m_saved->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> m_saved;
};

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

// Each line followed by the line end.
std::string Joined(const std::vector<std::string>& lines, const std::string& end)
{
    std::string out;
    for (const std::string& line : lines)
        out += line + end;
    return out;
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
    struct Case
    {
        std::string in;
        std::string out;
    };
    const std::string R = kReplacement;
    const Case cases[] = {
        {"plain", "plain"},
        {"caf\xC3\xA9", "caf\xC3\xA9"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"}, // four bytes, U+1F600
        {"bad\xFF\xFE.txt", "bad" + R + R + ".txt"},
        {"\xE2\x82", R}, // cut short: one part
        {"\xE2\x82"
         "A",
         R + "A"},
        {"\xF0\x9F\x98", R},                 // cut short before its last byte
        {"\xC0\xAF", R + R},                 // overlong: C0 never starts a character
        {"\xE0\x80\x80", R + R + R},         // overlong three-byte form
        {"\xED\xA0\x80", R + R + R},         // a surrogate
        {"\xF4\x90\x80\x80", R + R + R + R}, // above U+10FFFF
        {"\x80x", R + "x"},                  // a stray continuation byte
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WithReplacementCharacters(c.in), c.out) << c.in;
        EXPECT_EQ(IsValidUtf8(c.in), c.in == c.out) << c.in;
    }
}

TEST(ReportFields, Base64CsvAndJsonForms)
{
    // RFC 4648's test vectors, and bytes above 0x7F.
    const std::pair<std::string, std::string> base64[] = {{"", ""},
                                                          {"f", "Zg=="},
                                                          {"fo", "Zm8="},
                                                          {"foo", "Zm9v"},
                                                          {"foob", "Zm9vYg=="},
                                                          {"fooba", "Zm9vYmE="},
                                                          {"foobar", "Zm9vYmFy"},
                                                          {"\xFF\xFE", "//4="}};
    for (const auto& [in, out] : base64)
        EXPECT_EQ(Base64(in), out) << in;

    // Commas, quotes, line feeds and bytes that are not UTF-8: see the whole documents below.
    EXPECT_EQ(CsvField("cr\r"), "\"cr\r\"");

    EXPECT_EQ(JsonString("caf\xC3\xA9"), "\"caf\xC3\xA9\"");
    EXPECT_EQ(JsonString("q\"b\\s/"), "\"q\\\"b\\\\s/\"");
    EXPECT_EQ(JsonString(std::string("\n\r\t\x01\x1F\0", 6)), "\"\\n\\r\\t\\u0001\\u001f\\u0000\"");
}

TEST(ReportFields, IsoTimesCarryTheZonesOffset)
{
    {
        ZoneScope zone("UTC");
        EXPECT_EQ(IsoLocalTime(912870246), "1998-12-05T15:04:06+00:00");
        EXPECT_EQ(IsoLocalTime(0), "1970-01-01T00:00:00+00:00");
        EXPECT_EQ(IsoLocalTime(-1), "1969-12-31T23:59:59+00:00");
    }
    {
        ZoneScope zone("Europe/Berlin");
        EXPECT_EQ(IsoLocalTime(912870246), "1998-12-05T16:04:06+01:00");
        EXPECT_EQ(IsoLocalTime(1625140800), "2021-07-01T14:00:00+02:00");
        // Local mean time before standard time: an offset with seconds.
        EXPECT_EQ(IsoLocalTime(-2524521600), "1890-01-01T00:53:28+00:53:28");
    }
    {
        ZoneScope zone("America/New_York");
        EXPECT_EQ(IsoLocalTime(912870246), "1998-12-05T10:04:06-05:00");
    }
    {
        ZoneScope zone("Asia/Kathmandu");
        EXPECT_EQ(IsoLocalTime(1625140800), "2021-07-01T17:45:00+05:45");
    }
}

TEST(ReportFormatter, CsvAndJsonNumberTheGroupsAndKeepEveryByte)
{
    ZoneScope zone("UTC");
    const ResultTable table = DuplicatesTable();
    const std::string t = "1998-12-05T15:04:06+00:00";
    const std::string midnight = "1998-12-05T00:00:00+00:00";

    const ReportFormatter csv(table, ReportFormat::Csv, ScanMode::Duplicates);
    EXPECT_EQ(Whole(csv, table), Joined(
                                     {
                                         "time,size,path,group",
                                         t + ",1234567,\"/d/a,b\",1",
                                         midnight + ",0,/d/bad\xFF.txt,1",
                                         t + ",5,\"/d/say \"\"hi\"\"\",2",
                                         t + ",6,\"/d/new\nline\",2",
                                         t + ",7,/d/plain,2",
                                         t + ",8,/d/caf\xC3\xA9,3",
                                         t + ",9,/d/x,3",
                                     },
                                     "\r\n"));

    const ReportFormatter json(table, ReportFormat::Json, ScanMode::Duplicates);
    const std::string row = "    {\"time\": \"" + t + "\", ";
    EXPECT_EQ(Whole(json, table),
              Joined(
                  {
                      "{",
                      "  \"report\": \"dupes\",",
                      "  \"rows\": [",
                      row + "\"size\": 1234567, \"path\": \"/d/a,b\", \"group\": 1},",
                      "    {\"time\": \"" + midnight + "\", \"size\": 0, \"path\": \"/d/bad" + kReplacement +
                          ".txt\", \"path_base64\": \"L2QvYmFk/y50eHQ=\", \"group\": 1},",
                      row + "\"size\": 5, \"path\": \"/d/say \\\"hi\\\"\", \"group\": 2},",
                      row + "\"size\": 6, \"path\": \"/d/new\\nline\", \"group\": 2},",
                      row + "\"size\": 7, \"path\": \"/d/plain\", \"group\": 2},",
                      row + "\"size\": 8, \"path\": \"/d/caf\xC3\xA9\", \"group\": 3},",
                      row + "\"size\": 9, \"path\": \"/d/x\", \"group\": 3}",
                      "  ],",
                      "  \"outcome\": \"Dust Complete: 3 Groups Found\"",
                      "}",
                  },
                  "\n"));

    // Rows composed in pieces, split anywhere (also on a separator), join to the same document.
    for (int split = 0; split <= table.LastRow() + 1; ++split) {
        std::string pieces = json.head();
        json.appendRows(0, split, pieces);
        json.appendRows(split, table.LastRow() + 1, pieces);
        EXPECT_EQ(pieces + json.tail("Dust Complete: 3 Groups Found"), Whole(json, table)) << split;
        std::string csvPieces = csv.head();
        csv.appendRows(0, split, csvPieces);
        csv.appendRows(split, table.LastRow() + 1, csvPieces);
        EXPECT_EQ(csvPieces, Whole(csv, table)) << split;
    }
}

TEST(ReportFormatter, OtherReportsHaveNoGroupsAndAnEmptyReportIsAWholeDocument)
{
    ZoneScope zone("UTC");
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
    ZoneScope zone("UTC");
    const ResultTable table = DuplicatesTable();
    ContentClasses content;
    content.ofRow = {1, ContentClasses::kUnknown, 0, 0, 1};
    const auto rows = [&](ReportFormat format) {
        const ReportFormatter formatter(table, format, ScanMode::Duplicates, &content);
        std::string out = formatter.head();
        formatter.appendRows(0, 4, out);
        return out;
    };
    const std::string text = rows(ReportFormat::Text);
    EXPECT_NE(text.find("/d/a,b\t=1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("/d/bad\xFF.txt\t?\n\n"), std::string::npos) << text;
    EXPECT_NE(text.find("/d/say \"hi\"\t\n"), std::string::npos) << text;
    EXPECT_EQ(rows(ReportFormat::Csv), "time,size,path,group,content\r\n"
                                       "1998-12-05T15:04:06+00:00,1234567,\"/d/a,b\",1,=1\r\n"
                                       "1998-12-05T00:00:00+00:00,0,/d/bad\xFF.txt,1,?\r\n"
                                       "1998-12-05T15:04:06+00:00,5,\"/d/say \"\"hi\"\"\",2,\r\n");
    const std::string json = rows(ReportFormat::Json);
    EXPECT_NE(json.find("\"group\": 1, \"content\": \"=1\"},"), std::string::npos) << json;
    EXPECT_NE(json.find("\"group\": 2, \"content\": \"\"}"), std::string::npos) << json;
}
