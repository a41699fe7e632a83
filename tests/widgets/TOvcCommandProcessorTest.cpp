// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/OvcCommands.h"
#include "widgets/OvcVirtualKeys.h"
#include "widgets/TOvcController.h"

#include <gtest/gtest.h>

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
        {vk::Left, ssAlt, ccNoCommand},
        {vk::Letter('Q'), ssCtrl, ccNoCommand}, // known only to WordStar, inactive
        {vk::F1 + 1, ssNone, ccNoCommand},      // known only to Grid, inactive
        {vk::Digit(3), ssCtrl, static_cast<std::uint16_t>(ccGotoMarker0 + 3)},
        {vk::Digit(9), CS, static_cast<std::uint16_t>(ccSetMarker0 + 9)},
        {vk::Digit(3), ssNone, ccNoCommand},
        {0, ssNone, ccNoCommand},
        {vk::Shift, ssCtrl, ccNoCommand},
        {vk::Capital, ssCtrl, ccNoCommand},
    };
    TOvcController controller;
    for (const auto& c : cases) {
        EXPECT_EQ(controller.Translate(c.key, c.shift), c.command)
            << "key " << int(c.key) << " shift " << int(c.shift);
        EXPECT_EQ(controller.EntryCommands().State(), 0);
    }
}

TEST(TOvcCommandProcessor, FirstActiveTableThatKnowsTheKeyWins)
{
    TOvcCommandProcessor processor;
    processor.Add(TOvcCommandTable("Mine", true, {{vk::Left, 0, 0, 0, 300}, {vk::F1, 0, 0, 0, 301}}));
    EXPECT_EQ(processor.Translate(vk::Left, 0), ccLeft);
    EXPECT_EQ(processor.Translate(vk::F1, 0), 301);
}

} // namespace
