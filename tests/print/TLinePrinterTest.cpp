// SPDX-License-Identifier: GPL-3.0-or-later
// The line printer on the recording printer: 2400 x 3060 printable pixels at 300 dpi, 0.3 inch
// unprintable at the top, 0.5 at the bottom, 0.2 left and 0.3 right; its 10-point font is 42 pixels
// high and 21 wide a character.
#include "print/TLinePrinter.h"
#include "platform/RecordingPrinter.h"
#include "print/ELinePrinter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Saturday 7 March 2026, 14:05:09: "3/7/26" and "2:05:09 PM" in US English.
std::tm march7At1405()
{
    std::tm t{};
    t.tm_year = 126, t.tm_mon = 2, t.tm_mday = 7, t.tm_hour = 14, t.tm_min = 5, t.tm_sec = 9;
    return t;
}

// Each text the printer was given, with where it went: text, x, y, page.
using Placed = std::tuple<std::string, int, int, int>;
std::vector<Placed> placed(const RecordingPrinter& printer)
{
    std::vector<Placed> out;
    for (const PrintRecord& r : printer.texts())
        out.emplace_back(r.text, r.x, r.y, r.page);
    return out;
}

std::vector<std::string> textsOf(const RecordingPrinter& printer)
{
    std::vector<std::string> out;
    for (const PrintRecord& r : printer.texts())
        out.push_back(r.text);
    return out;
}

class LinePrinter : public ::testing::Test
{
protected:
    RecordingPrinter printer;
    TLinePrinter lp{printer, LocaleSettings::usEnglish()};

    void SetUp() override { lp.setClock(march7At1405); }

    // The margins the report forms store: body from (90, 210), 2100 x 2700 pixels; a right margin of 7.3
    // inches leaves a body ten characters wide.
    void useFormMargins(float right = 1)
    {
        lp.setMarginTop(1);
        lp.setMarginBottom(1);
        lp.setMarginLeft(0.5f);
        lp.setMarginRight(right);
    }

    // Line height 10 (5-point font, 21 pixels, half spacing; 10 pixels a character) and a body of the
    // given height starting 1500 pixels down.
    void useSmallBody(int height)
    {
        PrinterFont font = lp.font();
        font.setSize(5);
        lp.setFont(font);
        lp.setLineSpacing(TLineSpacing::lsHalfSpace);
        lp.setMarginTop(0.3f + 5);
        lp.setMarginBottom(0.5f + (3060 - 1500 - height) / 300.0f);
        ASSERT_EQ(lp.lineHeight(), 10);
        ASSERT_EQ(lp.bodyHeight(), height);
    }
};

// Margins are lengths from the paper's edge; the pixels count from the printable area's.
TEST_F(LinePrinter, MarginsStartAtThePrintersEdgesAndStayOnTheSheet)
{
    const auto px = [this] { return std::tuple(lp.topPx(), lp.bottomPx(), lp.leftPx(), lp.rightPx()); };
    EXPECT_EQ(px(), std::tuple(0, 0, 0, 0));
    lp.setMarginTop(0);
    lp.setMarginBottom(-3);
    lp.setMarginLeft(0.1f);
    lp.setMarginRight(NAN);
    EXPECT_EQ(px(), std::tuple(0, 0, 0, 0));
    for (auto set : {&TLinePrinter::setMarginTop, &TLinePrinter::setMarginBottom,
                     &TLinePrinter::setMarginLeft, &TLinePrinter::setMarginRight})
        (lp.*set)(100);
    EXPECT_EQ(px(), std::tuple(3060, 3060, 2400, 2400)) << "each as far as the opposite edge";

    useFormMargins();
    EXPECT_EQ(px(), std::tuple(210, 150, 90, 210));
    EXPECT_EQ(std::pair(lp.bodyWidth(), lp.bodyHeight()), std::pair(2100, 2700));
}

TEST_F(LinePrinter, FontsKeepTheirPointSizeOnThePrinter)
{
    PrinterFont screen{.name = "Courier", .height = 15, .pixelsPerInch = 96, .bold = true};
    lp.setFont(screen); // 11 points: 46 pixels at 300 dpi
    EXPECT_EQ(std::tuple(lp.font().pixelsPerInch, lp.font().height, lp.font().bold, lp.lineHeight()),
              std::tuple(300, 46, true, 46));
}

TEST_F(LinePrinter, PagesBreakOnTheAdvanceThatLeavesNoRoomForAnotherLine)
{
    useSmallBody(100); // nine lines of ten pixels
    lp.beginDoc();
    for (int i = 0; i < 9; ++i)
        lp.writeLine("line " + std::to_string(i));
    EXPECT_EQ(lp.pageNumber(), 2) << "the advance after the ninth line starts the next page";
    lp.writeLine("line 9");
    lp.endDoc();
    std::vector<Placed> expected;
    for (int i = 0; i < 10; ++i)
        expected.emplace_back("line " + std::to_string(i), lp.leftPx(), 1500 + 10 * (i % 9), 1 + i / 9);
    EXPECT_EQ(placed(printer), expected);

    // Between one and two lines, every line gets a page of its own.
    printer.clearRecords();
    useSmallBody(15);
    lp.beginDoc();
    lp.writeLine("a");
    lp.writeLine("b");
    lp.endDoc();
    EXPECT_EQ(placed(printer),
              (std::vector<Placed>{{"a", lp.leftPx(), 1500, 1}, {"b", lp.leftPx(), 1500, 2}}));
}

TEST_F(LinePrinter, HeaderAndFooterRowsSitCentredInTheirBandsOnEveryPage)
{
    useFormMargins();
    lp.setTitle("Lintwick Report");
    lp.setTableFormat("<5|>1.5");
    lp.setHeader("{$TITLE}|Page {$PAGE}");
    lp.setFooter("{$DATE}|{$TIME}");
    lp.beginDoc();
    lp.newPage();
    lp.endDoc();

    // The header (210 - 42) / 2 down, "Page N" right-aligned in the 1.5 inches that end at 90 + 1500 + 450;
    // the footer (150 - 42) / 2 below the body's bottom edge at 210 + 2700.
    std::vector<Placed> expected;
    for (int page = 1; page <= 2; ++page)
        expected.insert(expected.end(), {{"Lintwick Report", 90, 84, page},
                                         {"Page " + std::to_string(page), 2040 - 6 * 21, 84, page},
                                         {"3/7/26", 90, 2964, page},
                                         {"2:05:09 PM", 2040 - 10 * 21, 2964, page}});
    EXPECT_EQ(placed(printer), expected);
}

TEST_F(LinePrinter, TabsExpandToTheNextMultipleOfTheTabSizeCountingCharacters)
{
    struct Case
    {
        unsigned size;
        const char* text;
        const char* expanded;
    };
    for (const Case& c : {Case{8, "abcdefg\tx", "abcdefg x"}, Case{8, "abcdefgh\tx", "abcdefgh        x"},
                          Case{8, "\xC3\xA9\tb", "\xC3\xA9       b"}, Case{4, "ab\tc\td", "ab  c   d"},
                          Case{0, "a\tb", "a b"}}) {
        lp.setTabSize(c.size);
        EXPECT_EQ(lp.expandTabs(c.text), c.expanded) << c.text;
    }
    lp.setTabSize(8);
    lp.beginDoc();
    lp.writeLine("a\tb");
    lp.endDoc();
    EXPECT_EQ(textsOf(printer), std::vector<std::string>{"a       b"});
}

TEST_F(LinePrinter, LongLinesBreakAfterTheLastBlankThatFitsAndNeverInsideACharacter)
{
    useFormMargins(7.3f);
    ASSERT_EQ(lp.bodyWidth(), 210);
    lp.beginDoc();
    lp.writeLine("The quick brown fox jumps");
    lp.writeLine("abcdefghij klm");
    lp.writeLine("abcdefghijklmnopqrstuvwxyz");
    lp.writeLine("");
    lp.writeLine("ab\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
    lp.endDoc();
    EXPECT_EQ(textsOf(printer),
              (std::vector<std::string>{"The quick ", "brown fox ", "jumps", "abcdefghij", "klm",
                                        "abcdefghij", "klmnopqrst", "uvwxyz",
                                        "ab\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9",
                                        "\xC3\xA9"}));
    EXPECT_EQ(printer.texts()[8].y, lp.topPx() + 9 * 42) << "the empty line took its place";

    printer.clearRecords();
    // A body narrower than one character still ends, a character a line.
    lp.setMarginRight(8.5f);
    lp.beginDoc();
    lp.writeLine("abc");
    lp.endDoc();
    EXPECT_EQ(textsOf(printer), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(LinePrinter, FailuresRaiseAndAnAbortLetsTheNextDocumentBegin)
{
    printer.setInstalled(false);
    EXPECT_THROW(lp.beginDoc(), ELinePrinter);
    TLinePrinter unprinted(printer, LocaleSettings::usEnglish()); // made without a printer all the same
    EXPECT_EQ(unprinted.bodyHeight(), 3150);
    printer.setInstalled(true);

    lp.beginDoc();
    lp.writeLine("half a report");
    lp.abortDoc();
    EXPECT_FALSE(printer.printing());
    EXPECT_EQ(printer.recordsOf(PrintRecord::Kind::AbortDoc).size(), 1u);
    lp.beginDoc();
    lp.endDoc();
    EXPECT_THROW(lp.newPage(), ELinePrinter);
    EXPECT_THROW(lp.endDoc(), ELinePrinter);
}

} // namespace
