// SPDX-License-Identifier: GPL-3.0-or-later
// The document run on the recording printer: pages, lines, rows, borders, events and failures.
#include "ExpectRefused.h"
#include "FixedClock.h"
#include "platform/RecordingPrinter.h"
#include "print/TLinePrinter.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using Kind = PrintRecord::Kind;

std::vector<std::string> textsOf(const std::vector<PrintRecord>& records)
{
    std::vector<std::string> out;
    for (const PrintRecord& r : records)
        out.push_back(r.text);
    return out;
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

class LinePrinterRun : public ::testing::Test
{
protected:
    RecordingPrinter printer;
    TLinePrinter lp{printer, LocaleSettings::usEnglish()};
    std::string events;

    void SetUp() override
    {
        lp.setClock(march7At1405);
        lp.setOnBeginDoc([this](TLinePrinter&) { events += 'B'; });
        lp.setOnNewPage([this](TLinePrinter&) { events += 'P'; });
        lp.setOnNewLine([this](TLinePrinter&) { events += 'L'; });
        lp.setOnEndDoc([this](TLinePrinter&) { events += 'E'; });
    }

    // The margins the report forms store: body from (90, 210), 2100 x 2700 pixels.
    void useFormMargins()
    {
        lp.setMarginTop(1);
        lp.setMarginBottom(1);
        lp.setMarginLeft(0.5f);
        lp.setMarginRight(1);
    }

    // A body ten characters of the 10-point font wide (21 pixels each).
    void useTenCharacterBody()
    {
        useFormMargins();
        lp.setMarginRight(7.3f);
        ASSERT_EQ(lp.bodyWidth(), 210);
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
        ASSERT_EQ(lp.topPx(), 1500);
        ASSERT_EQ(lp.bodyHeight(), height);
    }
};

TEST_F(LinePrinterRun, HundredPixelBodyHoldsNineLinesAndBreaksOnTheNinthAdvance)
{
    useSmallBody(100);
    lp.beginDoc();
    for (int i = 1; i <= 8; ++i)
        lp.writeLine("line " + std::to_string(i));
    EXPECT_EQ(lp.pageNumber(), 1);
    EXPECT_EQ(lp.lineNumber(), 8);
    lp.writeLine("line 9");
    EXPECT_EQ(lp.pageNumber(), 2);
    EXPECT_EQ(lp.lineNumber(), 0);
    lp.endDoc();

    std::vector<Placed> expected;
    for (int i = 0; i < 9; ++i)
        expected.emplace_back("line " + std::to_string(i + 1), lp.leftPx(), 1500 + 10 * i, 1);
    EXPECT_EQ(placed(printer), expected);
    EXPECT_EQ(printer.recordsOf(Kind::NewPage).size(), 1u);
    EXPECT_EQ(events, "BPL" + std::string(8, 'L') + "LPL" + "E");
}

TEST_F(LinePrinterRun, BodyBetweenOneAndTwoLinesGivesEveryLineItsOwnPage)
{
    useSmallBody(15);
    lp.beginDoc();
    lp.writeLine("a");
    lp.writeLine("b");
    lp.writeLine("c");
    lp.endDoc();
    const int x = lp.leftPx();
    EXPECT_EQ(placed(printer),
              (std::vector<Placed>{{"a", x, 1500, 1}, {"b", x, 1500, 2}, {"c", x, 1500, 3}}));
    EXPECT_EQ(printer.pageNumber(), 4);
}

TEST_F(LinePrinterRun, HeaderAndFooterRowsSitCentredInTheirBandsOnEveryPage)
{
    useFormMargins();
    lp.setTitle("Lintwick Report");
    lp.setTableFormat("<5|>1.5");
    lp.setHeader("{$TITLE}|Page {$PAGE}");
    lp.setFooter("{$DATE}|{$TIME}");
    lp.beginDoc();
    EXPECT_EQ(lp.lineNumber(), 0);
    EXPECT_EQ(events, "BPL");
    lp.newPage();
    lp.newPage();
    lp.endDoc();

    // Title left in the 5-inch column from the left margin, at (210 - 42) / 2; "Page N" right-aligned in
    // the next 1.5 inches, ending at 90 + 1500 + 450; the footer (150 - 42) / 2 below the body's bottom
    // edge at 210 + 2700.
    std::vector<Placed> expected;
    for (int page = 1; page <= 3; ++page)
        expected.insert(expected.end(), {{"Lintwick Report", 90, 84, page},
                                         {"Page " + std::to_string(page), 2040 - 6 * 21, 84, page},
                                         {"3/7/26", 90, 2964, page},
                                         {"2:05:09 PM", 2040 - 10 * 21, 2964, page}});
    EXPECT_EQ(placed(printer), expected);
}

TEST_F(LinePrinterRun, BandRowsStayOnThePrintableAreaAndShowTheLineCountOfThePreviousPage)
{
    // Default margins leave no band at all: the rows keep to the printable area's edges.
    lp.setTableFormat("<1");
    lp.setHeader("{$LINE}");
    lp.setFooter("f");
    lp.beginDoc();
    lp.writeLine("a");
    lp.writeLine("b");
    lp.writeLine("c");
    lp.newPage();
    lp.endDoc();
    EXPECT_EQ(events, "BPL"
                      "LLL"
                      "PL"
                      "E");

    const std::vector<PrintRecord> texts = printer.texts();
    ASSERT_EQ(texts.size(), 7u);
    EXPECT_EQ(texts[0].text, "0");
    EXPECT_EQ(texts[0].y, 0);
    EXPECT_EQ(texts[1].text, "f");
    EXPECT_EQ(texts[1].y, 3060 - 42);
    EXPECT_EQ(texts[5].text, "3");
    EXPECT_EQ(texts[5].page, 2);
}

TEST_F(LinePrinterRun, TableRowsCutCellsToTheirColumnsAndLeaveTitlesUnreplaced)
{
    useFormMargins();
    lp.setTitle("All {$TITLE} rows");
    lp.setHeader("{$TITLE}|ignored");
    lp.beginDoc();
    // An empty format is one column DefaultColWidth (0) wide: one character shows. The title holds the
    // macro, so the macro stays as it stands.
    ASSERT_EQ(printer.texts().size(), 1u);
    EXPECT_EQ(printer.texts()[0].text, "{");
    lp.endDoc();

    printer.clearRecords();
    lp.setTableFormat("<5|^1|3");
    lp.setHeader("{$TITLE}|ab|{$LINE} {$page}|extra");
    lp.setTitle("Title");
    lp.beginDoc();
    const std::vector<PrintRecord> texts = printer.texts();
    EXPECT_EQ(textsOf(texts), (std::vector<std::string>{"Title", "ab", "0 {$page}"}));
    EXPECT_EQ(texts[1].x, 90 + 1500 + (300 - 42) / 2);
    EXPECT_EQ(texts[2].x, 90 + 1500 + 300);

    // A table row in the body advances like a line.
    lp.writeTableLine("cell|x");
    EXPECT_EQ(lp.lineNumber(), 1);
    lp.endDoc();
}

TEST_F(LinePrinterRun, TabsExpandToMultiplesOfTheTabSize)
{
    EXPECT_EQ(lp.expandTabs("a\tb"), "a       b");
    EXPECT_EQ(lp.expandTabs("abcdefgh\tx"), "abcdefgh        x");
    EXPECT_EQ(lp.expandTabs("\t"), std::string(8, ' '));
    EXPECT_EQ(lp.expandTabs("\xC3\xA9\tb"), "\xC3\xA9       b");
    lp.setTabSize(4);
    EXPECT_EQ(lp.expandTabs("ab\tc\td"), "ab  c   d");
    lp.setTabSize(0);
    EXPECT_EQ(lp.expandTabs("a\tb"), "a b");

    lp.setTabSize(8);
    lp.beginDoc();
    lp.writeLine("a\tb");
    lp.endDoc();
    EXPECT_EQ(printer.texts().at(0).text, "a       b");
}

TEST_F(LinePrinterRun, WordWrapBreaksAfterTheLastBlankThatFitsAndWithoutItLinesAreCut)
{
    useTenCharacterBody();
    lp.beginDoc();
    lp.writeLine("The quick brown fox jumps");
    lp.writeLine("abcdefghij klm");
    lp.writeLine("abcdefghijklmnopqrstuvwxyz");
    lp.writeLine("");
    lp.writeLine("ab\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
    lp.endDoc();
    EXPECT_EQ(textsOf(printer.texts()),
              (std::vector<std::string>{"The quick ", "brown fox ", "jumps", "abcdefghij", "klm",
                                        "abcdefghij", "klmnopqrst", "uvwxyz",
                                        "ab\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
                                        "\xC3\xA9\xC3\xA9",
                                        "\xC3\xA9"}));
    // The empty line printed nothing but took its place.
    EXPECT_EQ(printer.texts()[8].y, lp.topPx() + 9 * 42);

    // Without word wrap only the fitting prefix prints.
    printer.clearRecords();
    lp.setWordWrap(false);
    lp.beginDoc();
    lp.writeLine("The quick brown fox");
    lp.endDoc();
    EXPECT_EQ(textsOf(printer.texts()), std::vector<std::string>{"The quick "});
}

TEST_F(LinePrinterRun, BodyNarrowerThanOneCharacterStillEnds)
{
    useFormMargins();
    lp.setMarginRight(8.5f); // clamped: left and right margins overlap
    ASSERT_LE(lp.bodyWidth(), 0);
    lp.beginDoc();
    lp.writeLine("abc");
    lp.endDoc();
    EXPECT_EQ(textsOf(printer.texts()), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(LinePrinterRun, AlignmentHoldsAlsoOnTheFirstLineOfANewPage)
{
    useSmallBody(100);
    lp.setMarginRight(0.3f + 3); // body 1500 pixels wide from the printable area's left edge
    ASSERT_EQ(lp.bodyWidth(), 1500);
    lp.beginDoc();
    lp.setAlignment(TAlignment::taRightJustify);
    lp.writeLine("abc");
    lp.setAlignment(TAlignment::taCenter);
    for (int i = 0; i < 8; ++i)
        lp.writeLine("abcd");
    ASSERT_EQ(lp.pageNumber(), 2);
    lp.writeLine("abcde");
    lp.endDoc();

    const std::vector<PrintRecord> texts = printer.texts();
    EXPECT_EQ(texts.front().x, lp.leftPx() + 1500 - 30);
    EXPECT_EQ(texts[1].x, lp.leftPx() + (1500 - 40) / 2);
    EXPECT_EQ(texts.back().page, 2);
    EXPECT_EQ(texts.back().y, 1500);
    EXPECT_EQ(texts.back().x, lp.leftPx() + (1500 - 50) / 2);
}

TEST_F(LinePrinterRun, BordersFrameTheBodyAtTheirOffset)
{
    useFormMargins();
    lp.setBorderOffset(0.1f);
    lp.setPageBorders({TPageBorderStyle::pbTop, TPageBorderStyle::pbBottom, TPageBorderStyle::pbLeft,
                       TPageBorderStyle::pbRight});
    lp.beginDoc();
    lp.newPage();
    lp.endDoc();

    const std::vector<PrintRecord> lines = printer.lines();
    ASSERT_EQ(lines.size(), 8u);
    const int l = 90 - 30, t = 210 - 30, r = 90 + 2100 + 30, b = 210 + 2700 + 30;
    const int expected[4][4] = {{l, t, r, t}, {l, b, r, b}, {l, t, l, b}, {r, t, r, b}};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int* e = expected[i % 4];
        EXPECT_EQ(lines[i].page, i < 4 ? 1 : 2);
        EXPECT_EQ(lines[i].penWidth, 2);
        EXPECT_EQ((std::vector<int>{lines[i].x, lines[i].y, lines[i].x2, lines[i].y2}),
                  (std::vector<int>{e[0], e[1], e[2], e[3]}))
            << "rule " << i;
    }
}

TEST_F(LinePrinterRun, FailuresRaiseTheirTextsAndKeepTheEventOrder)
{
    printer.setInstalled(false);
    expectRefused([&] { lp.beginDoc(); }, "Unable to begin printing.");
    printer.setInstalled(true);

    printer.beginDoc(); // a document already in progress
    EXPECT_THROW(lp.beginDoc(), ELinePrinter);
    printer.endDoc();

    expectRefused([&] { lp.newPage(); }, "Unable to print a new page.");
    expectRefused([&] { lp.endDoc(); }, "Unable to finish printing.");
    // OnBeginDoc came before each refusal, OnNewPage before the failed page, OnEndDoc never.
    EXPECT_EQ(events, "BBP");
}

TEST_F(LinePrinterRun, AbortEndsOurFailedDocumentSoTheNextBegins)
{
    lp.beginDoc();
    lp.writeLine("half a report");
    lp.abortDoc();
    EXPECT_FALSE(printer.printing());
    EXPECT_EQ(printer.recordsOf(Kind::AbortDoc).size(), 1u);
    EXPECT_NO_THROW(lp.beginDoc());
    lp.endDoc();

    // Somebody else's document is not ours to drop.
    printer.beginDoc();
    lp.abortDoc();
    EXPECT_TRUE(printer.printing());
}

TEST_F(LinePrinterRun, CanvasFailuresAreIgnoredAndLinesStillAdvance)
{
    useTenCharacterBody();
    lp.beginDoc();
    printer.setCanvasFails(true);
    lp.writeLine("The quick brown fox jumps");
    EXPECT_EQ(lp.lineNumber(), 1); // unmeasured, so printed unwrapped: one advance
    lp.setPageBorders({TPageBorderStyle::pbTop});
    EXPECT_NO_THROW(lp.newPage());
    printer.setCanvasFails(false);
    lp.endDoc();
    EXPECT_TRUE(printer.texts().empty());
}

} // namespace
