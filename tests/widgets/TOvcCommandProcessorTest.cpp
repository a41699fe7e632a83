// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/OvcCommands.h"
#include "widgets/OvcVirtualKeys.h"
#include "widgets/TOvcController.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

constexpr std::uint8_t CS = ssCtrl | ssShift;

// Not the table's rows again, but what Translate does with them: exact shift states, the marker digits,
// keys of the inactive tables, and modifier keys alone, which make no command and keep the state.
TEST(TOvcCommandProcessor, DefaultTableTranslatesWithExactShiftStates)
{
    struct KeyCase
    {
        std::uint8_t key;
        std::uint8_t shift;
        std::uint16_t command;
    };
    const KeyCase cases[] = {
        {vk::Left, ssNone, ccLeft},
        {vk::Left, ssCtrl, ccWordLeft},
        {vk::Left, CS, ccExtWordLeft},
        {vk::Left, ssAlt, ccNoCommand},
        {vk::Letter('X'), ssCtrl, ccCut},
        {vk::Letter('Q'), ssCtrl, ccNoCommand}, // known only to WordStar, inactive
        {vk::F1 + 1, ssNone, ccNoCommand},      // known only to Grid, inactive
        {vk::Digit(3), ssCtrl, static_cast<std::uint16_t>(ccGotoMarker0 + 3)},
        {vk::Digit(9), CS, static_cast<std::uint16_t>(ccSetMarker0 + 9)},
        {vk::Digit(3), ssNone, ccNoCommand},
        {vk::F1, ssNone, ccNoCommand},
        {0, ssNone, ccNoCommand},
        {vk::Shift, ssCtrl, ccNoCommand},
        {vk::Control, ssCtrl, ccNoCommand},
        {vk::Menu, ssCtrl, ccNoCommand},
        {vk::Capital, ssCtrl, ccNoCommand},
        {vk::NumLock, ssCtrl, ccNoCommand},
        {vk::ScrollLock, ssCtrl, ccNoCommand},
    };
    TOvcController controller;
    for (const auto& c : cases) {
        EXPECT_EQ(controller.Translate(c.key, c.shift), c.command)
            << "key " << int(c.key) << " shift " << int(c.shift);
        EXPECT_EQ(controller.EntryCommands().State(), 0);
    }
}

TEST(TOvcCommandProcessor, TwoKeySequencesAndControlCharacters)
{
    TOvcCommandProcessor processor;
    processor.Table(0).SetActive(false);
    processor.TableByName("WordStar")->SetActive(true);

    EXPECT_EQ(processor.Translate(vk::Letter('Q'), ssCtrl), ccPartial);
    EXPECT_EQ(processor.State(), 1);
    EXPECT_EQ(processor.Translate(vk::Control, ssCtrl), ccPartial) << "a modifier keeps the sequence";
    EXPECT_EQ(processor.Translate(vk::Letter('R'), ssCtrl), ccFirstPage) << "128 accepts Ctrl";
    EXPECT_EQ(processor.State(), 0);

    EXPECT_EQ(processor.Translate(vk::Letter('Q'), ssCtrl), ccPartial);
    EXPECT_EQ(processor.Translate(vk::Letter('R'), ssNone), ccFirstPage) << "128 accepts no modifier";
    EXPECT_EQ(processor.Translate(vk::Letter('Q'), ssCtrl), ccPartial);
    EXPECT_EQ(processor.Translate(vk::Letter('R'), ssShift), ccPartialFailed) << "but not Shift";
    EXPECT_EQ(processor.State(), 0);

    EXPECT_EQ(processor.Translate(vk::Letter('P'), ssCtrl), ccCtrlChar);
    EXPECT_EQ(processor.State(), 2);
    EXPECT_EQ(processor.Translate(vk::Letter('S'), ssCtrl), ccNoCommand) << "taken as a literal character";
    EXPECT_EQ(processor.State(), 0);
    EXPECT_EQ(processor.Translate(vk::Letter('S'), ssCtrl), ccLeft);
}

TEST(TOvcCommandProcessor, FirstActiveTableThatKnowsTheKeyWins)
{
    TOvcCommandProcessor processor;
    processor.Add(TOvcCommandTable("Mine", true, {{vk::Left, 0, 0, 0, 300}, {vk::F1, 0, 0, 0, 301}}));
    EXPECT_EQ(processor.Translate(vk::Left, 0), ccLeft);
    EXPECT_EQ(processor.Translate(vk::F1, 0), 301);
    EXPECT_EQ(CommandName(301), "ccUser301");
    EXPECT_EQ(CommandName(ccGotoMarker0 + 4), "ccGotoMarker4");
    EXPECT_EQ(CommandName(ccSetMarker0), "ccSetMarker0");
    EXPECT_EQ(CommandName(200), "");
}

TEST(TOvcCommandProcessor, TableListStreamingRestoresBuiltInRecordsAndKeepsOwnRecords)
{
    TOvcCommandProcessor source;
    source.Table(0).Clear(); // stored without records, so this must not survive
    source.Table(1).SetTableName("wordstar");
    source.Table(1).SetActive(true);
    source.Add(TOvcCommandTable("Mine", false, {{vk::F1, ssAlt, vk::F1 + 1, ssCtrlOrNone, 999}}));
    std::stringstream stream;
    source.WriteTables(stream);

    TOvcCommandProcessor target;
    target.Clear();
    ASSERT_TRUE(target.ReadTables(stream));
    ASSERT_EQ(target.Count(), 4);
    EXPECT_EQ(target.Table(0).TableName(), "Default");
    EXPECT_EQ(target.Table(0).Count(), 64);
    EXPECT_EQ(target.Table(1).TableName(), "wordstar");
    EXPECT_TRUE(target.Table(1).IsActive());
    EXPECT_EQ(target.Table(1).Count(), 40);
    EXPECT_EQ(target.Table(3).TableName(), "Mine");
    EXPECT_FALSE(target.Table(3).IsActive());
    ASSERT_EQ(target.Table(3).Count(), 1);
    EXPECT_EQ(target.Table(3).Records()[0], (TOvcCmdRec{vk::F1, ssAlt, vk::F1 + 1, ssCtrlOrNone, 999}));
}

TEST(TOvcCommandProcessor, TruncatedOrForeignStreamsLeaveTheTablesAlone)
{
    TOvcCommandProcessor source;
    source.Add(TOvcCommandTable("Mine", true, {{vk::F1, 0, 0, 0, 300}}));
    std::stringstream full;
    source.WriteTables(full);
    const std::string bytes = full.str();

    for (std::size_t cut : {std::size_t{0}, std::size_t{3}, std::size_t{10}, bytes.size() - 1}) {
        TOvcCommandProcessor target;
        std::stringstream truncated(bytes.substr(0, cut));
        EXPECT_FALSE(target.ReadTables(truncated)) << "cut at " << cut;
        EXPECT_EQ(target.Count(), 3);
    }
    TOvcCommandProcessor target;
    std::stringstream huge(std::string("OVCT\xff\xff\xff\x7f", 8));
    EXPECT_FALSE(target.ReadTables(huge));
    EXPECT_EQ(target.Count(), 3);
}

TEST(TOvcController, EpochRefusesValuesOutsideItsRange)
{
    TOvcController controller;
    EXPECT_FALSE(controller.SetEpoch(1599));
    EXPECT_FALSE(controller.SetEpoch(4000));
    EXPECT_EQ(controller.Epoch(), 1900);
    EXPECT_TRUE(controller.SetEpoch(2000));
    EXPECT_EQ(controller.Epoch(), 2000);
}

} // namespace
