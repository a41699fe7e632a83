// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/TTipForm.h"
#include "info/TipCycle.h"
#include "info/TipTexts.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

// The texts themselves are the source's; what can go wrong is a tip pasted twice or a real contact.
TEST(TipTexts, AreDistinctAndCarryNoRealContactData)
{
    EXPECT_EQ(std::set<std::string_view>(TipTexts.begin(), TipTexts.end()).size(), std::size_t{kTipCount});
    const std::regex contact(R"(\d{3}-\d{4}|://[^ ]*)");
    const std::regex reserved(R"(555-01\d\d|://www\.corvane\.example/.*)");
    for (std::string_view tip : TipTexts) {
        const std::string text(tip);
        for (auto it = std::sregex_iterator(text.begin(), text.end(), contact); it != std::sregex_iterator();
             ++it)
            EXPECT_TRUE(std::regex_match(it->str(), reserved)) << it->str();
    }
}

TEST(TipCycle, StartsAnywhereInRangeAndWrapsAroundAfterTheLastTip)
{
    EXPECT_EQ(TipCycle(-1).Index(), kTipCount - 1);
    EXPECT_EQ(TipCycle(kTipCount + 1).Index(), 1);
    TipCycle cycle(kTipCount - 2);
    EXPECT_EQ(cycle.Next(), TipTexts[kTipCount - 1]);
    EXPECT_EQ(cycle.Next(), TipTexts[0]);
    EXPECT_EQ(cycle.Index(), 0);
}

TEST(TTipForm, ShowsTheTipAfterItsStartAndTheNextOnRequestUntilClosed)
{
    TTipForm form(kTipCount - 1);
    EXPECT_EQ(form.TipLabel()->text().toStdString(), TipTexts[0]);
    form.NextTipButton()->click();
    EXPECT_EQ(form.TipLabel()->text().toStdString(), TipTexts[1]);
    QTimer::singleShot(0, form.CloseButton(), &QPushButton::click);
    form.exec(); // returns only when Close ends the modal showing
    EXPECT_EQ(form.TipIndex(), 1);

    TTipForm random;
    EXPECT_GE(random.TipIndex(), 0);
    EXPECT_LT(random.TipIndex(), kTipCount);
}
