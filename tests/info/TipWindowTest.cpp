// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/TAboutForm.h"
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
    const std::regex phone(R"(\d{3}-\d{4})");
    const std::regex reservedPhone(R"(555-01\d\d)");
    for (std::string_view tip : TipTexts) {
        const std::string text(tip);
        for (auto it = std::sregex_iterator(text.begin(), text.end(), phone); it != std::sregex_iterator();
             ++it)
            EXPECT_TRUE(std::regex_match(it->str(), reservedPhone)) << it->str();
        const size_t web = text.find("://");
        if (web != std::string::npos) {
            EXPECT_EQ(text.substr(web, 25), "://www.corvane.example/");
        }
    }
    EXPECT_NE(TipTexts[5].find("555-01"), std::string_view::npos); // ends with the telephone number
    EXPECT_NE(TipTexts[13].find("corvane.example"), std::string_view::npos);
}

TEST(TipCycle, WalksOnAndWrapsAroundAfterTheLastTip)
{
    TipCycle fromLast(15);
    EXPECT_EQ(fromLast.Next(), TipTexts[0]);
    EXPECT_EQ(fromLast.Index(), 0);

    TipCycle cycle(7);
    std::set<int> visited;
    for (int i = 0; i < kTipCount; ++i) {
        cycle.Next();
        visited.insert(cycle.Index());
    }
    EXPECT_EQ(cycle.Index(), 7);
    EXPECT_EQ(visited.size(), static_cast<size_t>(kTipCount));
    EXPECT_EQ(TipCycle(-1).Index(), 15);
    EXPECT_EQ(TipCycle(33).Index(), 1);
}

TEST(TTipForm, CreationAdvancesOnceAndNextTipShowsTheFollowingTip)
{
    TTipForm form(15);
    EXPECT_EQ(form.TipIndex(), 0);
    EXPECT_EQ(form.TipLabel()->text().toStdString(), TipTexts[0]);
    EXPECT_FALSE(form.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());
    form.NextTipButton()->click();
    EXPECT_EQ(form.TipLabel()->text().toStdString(), TipTexts[1]);

    // A random start still lands on a valid tip.
    TTipForm random;
    EXPECT_GE(random.TipIndex(), 0);
    EXPECT_LT(random.TipIndex(), kTipCount);
}

TEST(TTipForm, CloseEndsTheModalShowingAndTheTipStays)
{
    TTipForm form(3);
    QTimer::singleShot(0, form.CloseButton(), &QPushButton::click);
    form.exec(); // returns only when Close ends the modal showing
    EXPECT_EQ(form.TipIndex(), 4);
}

TEST(TAboutForm, ShowsTheSamePictureEveryTime)
{
    TAboutForm about;
    const QImage first = about.Image1()->pixmap().toImage();
    EXPECT_FALSE(first.isNull());
    for (int showing = 0; showing < 2; ++showing) {
        QTimer::singleShot(0, &about, &QDialog::close);
        about.exec();
    }
    EXPECT_EQ(about.Image1()->pixmap().toImage(), first);
}
