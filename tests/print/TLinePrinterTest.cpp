// SPDX-License-Identifier: GPL-3.0-or-later
// The page model: properties, units, margins, line heights and fonts, on the recording printer.
#include "print/TLinePrinter.h"
#include "platform/RecordingPrinter.h"

#include "ExpectRefused.h"

#include <functional>
#include <string>

namespace {

constexpr float kTol = 1e-5f;

void expectMargins(const TLinePrinter& lp, float top, float bottom, float left, float right, float tol = kTol)
{
    EXPECT_NEAR(lp.marginTop(), top, tol);
    EXPECT_NEAR(lp.marginBottom(), bottom, tol);
    EXPECT_NEAR(lp.marginLeft(), left, tol);
    EXPECT_NEAR(lp.marginRight(), right, tol);
}

TEST(LinePrinterModel, NewComponentHasItsDefaultsAndThePrintersUnprintableMargins)
{
    RecordingPrinter printer;
    printer.setTitle("left over");
    TLinePrinter lp(printer, LocaleSettings::usEnglish());

    // The recording sheet keeps 0.3 inch at the top, 0.5 at the bottom, 0.2 left and 0.3 right. Tab
    // size, word wrap, alignment and progress defaults show in the document runs.
    expectMargins(lp, 0.3f, 0.5f, 0.2f, 0.3f);
    EXPECT_EQ(lp.title(), "");
    EXPECT_EQ(lp.lineHeight(), 42);
    EXPECT_EQ(lp.bodyWidth(), 2400);
    EXPECT_EQ(lp.bodyHeight(), 3060);
}

TEST(LinePrinterModel, WithoutAPrinterTheLetterSheetFallbacksHold)
{
    RecordingPrinter printer;
    printer.setInstalled(false);
    TLinePrinter lp(printer, LocaleSettings::usEnglish());

    expectMargins(lp, 0.25f, 0.25f, 0.25f, 0.25f);
    EXPECT_EQ(lp.lineHeight(), 10);
    EXPECT_EQ(lp.unitsToPixelsX(1.5f), 450);
    EXPECT_NEAR(lp.pixelsToUnitsY(150), 0.5f, kTol);
    EXPECT_EQ(lp.bodyWidth(), 2400);
    EXPECT_EQ(lp.bodyHeight(), 3150);

    lp.setOrientation(TPrinterOrientation::poLandscape);
    EXPECT_EQ(lp.orientation(), TPrinterOrientation::poPortrait);

    // The font is copied with its point size but not re-based on a printer that is not there.
    PrinterFont screen;
    screen.name = "Courier";
    screen.pixelsPerInch = 96;
    screen.height = 15;
    lp.setFont(screen);
    EXPECT_EQ(lp.font().name, "Courier");
    EXPECT_EQ(lp.font().pixelsPerInch, 96);
    EXPECT_EQ(lp.lineHeight(), 10);

    lp.setMeasureUnit(TMeasureUnit::muMillimeters);
    lp.setMarginTop(0);
    lp.setMarginBottom(0);
    lp.setMarginRight(1000);
    expectMargins(lp, 6, 7, 6.35f, 204, 1e-4f);
}

TEST(LinePrinterModel, MarginsAreClampedAtBothEnds)
{
    RecordingPrinter printer;
    TLinePrinter lp(printer, LocaleSettings::usEnglish());

    lp.setMarginTop(0);
    lp.setMarginBottom(-3);
    lp.setMarginLeft(0.1f);
    lp.setMarginRight(0);
    expectMargins(lp, 0.3f, 0.5f, 0.2f, 0.3f);

    lp.setMarginTop(100);
    lp.setMarginBottom(100);
    lp.setMarginLeft(100);
    lp.setMarginRight(100);
    expectMargins(lp, 11 - 0.5f, 11 - 0.3f, 8.5f - 0.3f, 8.5f - 0.2f);

    // Each margin is checked alone, so the body may vanish.
    EXPECT_LT(lp.bodyHeight(), 0);

    lp.setMarginTop(1);
    lp.setMarginBottom(1);
    lp.setMarginLeft(0.5f);
    lp.setMarginRight(1);
    EXPECT_EQ(lp.topPx(), 210);
    EXPECT_EQ(lp.bottomPx(), 150);
    EXPECT_EQ(lp.leftPx(), 90);
    EXPECT_EQ(lp.rightPx(), 210);
    EXPECT_EQ(lp.bodyWidth(), 2400 - 90 - 210);
    EXPECT_EQ(lp.bodyHeight(), 3060 - 210 - 150);
}

TEST(LinePrinterModel, UnitSwitchesConvertLengthsThereAndBack)
{
    RecordingPrinter printer;
    TLinePrinter lp(printer, LocaleSettings::usEnglish());
    lp.setMarginTop(1);
    lp.setMarginBottom(1);
    lp.setMarginLeft(0.5f);
    lp.setMarginRight(1);
    lp.setBorderOffset(0.1f);
    lp.setDefaultColWidth(2);

    lp.setMeasureUnit(TMeasureUnit::muMillimeters);
    expectMargins(lp, 25.4f, 25.4f, 12.7f, 25.4f, 1e-4f);
    EXPECT_NEAR(lp.borderOffset(), 2.54f, 1e-5f);
    EXPECT_NEAR(lp.defaultColWidth(), 50.8f, 1e-4f);
    EXPECT_EQ(lp.unitsToPixelsX(25.4f), 300);
    EXPECT_NEAR(lp.pixelsToUnitsX(300), 25.4f, 1e-4f);
    EXPECT_EQ(lp.topPx(), 210);

    lp.setMeasureUnit(TMeasureUnit::muInches);
    expectMargins(lp, 1, 1, 0.5f, 1);
    EXPECT_NEAR(lp.borderOffset(), 0.1f, kTol);
    EXPECT_NEAR(lp.defaultColWidth(), 2, kTol);

    // Orientation does not re-clamp; assigning the same unit does.
    lp.setMarginTop(10.5f);
    lp.setOrientation(TPrinterOrientation::poLandscape);
    EXPECT_NEAR(lp.marginTop(), 10.5f, kTol);
    lp.setMeasureUnit(TMeasureUnit::muInches);
    EXPECT_NEAR(lp.marginTop(), 8.5f - 0.3f, kTol);
    EXPECT_NEAR(lp.marginBottom(), 1, kTol);
}

TEST(LinePrinterModel, UnitConversionsRoundHalvesToEven)
{
    RecordingPrinter printer;
    TLinePrinter lp(printer, LocaleSettings::usEnglish());
    // At 300 dpi an eighth of an inch is 37.5 pixels, three eighths 112.5.
    EXPECT_EQ(lp.unitsToPixelsX(0.125f), 38);
    EXPECT_EQ(lp.unitsToPixelsY(0.375f), 112);
    EXPECT_EQ(lp.unitsToPixelsY(0.625f), 188);
    EXPECT_EQ(lp.unitsToPixelsX(-0.125f), -38);
}

TEST(LinePrinterModel, LineHeightFollowsSpacingWithIntegerHalves)
{
    RecordingPrinter printer;
    TLinePrinter lp(printer, LocaleSettings::usEnglish());
    PrinterFont font = lp.font();
    font.setSize(7); // 29 pixels at 300 dpi
    lp.setFont(font);
    ASSERT_EQ(lp.font().height, 29);

    const auto heights = [&] {
        std::vector<int> out;
        for (TLineSpacing spacing : {TLineSpacing::lsHalfSpace, TLineSpacing::lsSingleSpace,
                                     TLineSpacing::lsSingleAndAHalf, TLineSpacing::lsDoubleSpace}) {
            lp.setLineSpacing(spacing);
            out.push_back(lp.lineHeight());
        }
        return out;
    };
    EXPECT_EQ(heights(), (std::vector<int>{14, 29, 43, 58}));

    // While printing the base is the cell height and the external leading read at BeginDoc.
    font.setSize(12); // 50 pixels
    lp.setFont(font);
    printer.setExternalLeading(1);
    lp.beginDoc();
    EXPECT_EQ(heights(), (std::vector<int>{25, 51, 76, 102}));
    lp.endDoc();
}

TEST(LinePrinterModel, FontsCarryTheirPointSizeOverToThePrinter)
{
    RecordingPrinter printer;
    TLinePrinter lp(printer, LocaleSettings::usEnglish());

    PrinterFont screen;
    screen.name = "Courier New";
    screen.pixelsPerInch = 96;
    screen.setSize(10);
    screen.bold = true;
    lp.setFont(screen);
    EXPECT_EQ(lp.font().size(), 10);
    EXPECT_EQ(lp.font().pixelsPerInch, 300);
    EXPECT_EQ(lp.font().height, 42);
    EXPECT_TRUE(lp.font().bold);
    EXPECT_EQ(lp.lineHeight(), 42);

    // The result list's font: pixel height 15 at 96 dpi is 11 points.
    screen.height = 15;
    lp.setFont(screen);
    EXPECT_EQ(lp.font().height, 46);
    EXPECT_EQ(lp.lineHeight(), 46);

    // Font, title and orientation are the shared printer's.
    TLinePrinter other(printer, LocaleSettings::usEnglish());
    lp.setTitle("Lintwick Report");
    EXPECT_EQ(other.title(), "Lintwick Report");
    other.setFont(screen);
    EXPECT_EQ(lp.font(), other.font());
}

TEST(LinePrinterModel, PrintingRefusesChangesToTheSheetAndNegativeColumnWidthsAreRefused)
{
    RecordingPrinter printer;
    TLinePrinter lp(printer, LocaleSettings::usEnglish());
    lp.setTitle("Report");
    lp.setMarginTop(1);
    printer.beginDoc(); // somebody's document in progress

    const std::function<void()> changes[] = {[&] { lp.setTitle("Other"); },
                                             [&] { lp.setOrientation(TPrinterOrientation::poLandscape); },
                                             [&] { lp.setMarginTop(2); },
                                             [&] { lp.setMarginBottom(2); },
                                             [&] { lp.setMarginLeft(2); },
                                             [&] { lp.setMarginRight(2); },
                                             [&] { lp.setMeasureUnit(TMeasureUnit::muMillimeters); }};
    for (const auto& change : changes)
        EXPECT_THROW(change(), ELinePrinter);

    EXPECT_EQ(lp.title(), "Report");
    EXPECT_EQ(lp.orientation(), TPrinterOrientation::poPortrait);
    EXPECT_EQ(lp.measureUnit(), TMeasureUnit::muInches);
    expectMargins(lp, 1, 0.5f, 0.2f, 0.3f);
    EXPECT_NO_THROW(lp.setMeasureUnit(TMeasureUnit::muInches));

    lp.setDefaultColWidth(1.5f);
    expectRefused([&] { lp.setDefaultColWidth(-1); }, "DefaultColWidth must be greater than or equal to 0");
    EXPECT_EQ(lp.defaultColWidth(), 0);
    EXPECT_NO_THROW(lp.setDefaultColWidth(0));
}

} // namespace
