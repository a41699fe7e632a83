// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/TAboutForm.h"
#include "info/TTipForm.h"
#include "info/TipCycle.h"
#include "info/TipTexts.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <set>
#include <string>

TEST(TipTexts, SixteenDistinctTipsOfTheirIntendedLengths)
{
    const int lengths[kTipCount] = {308, 160, 150, 421, 320, 367, 286, 127,
                                    127, 226, 320, 260, 224, 130, 135, 320};
    std::set<std::string_view> distinct(TipTexts.begin(), TipTexts.end());
    EXPECT_EQ(distinct.size(), static_cast<size_t>(kTipCount));
    for (int i = 0; i < kTipCount; ++i) {
        const double ratio = static_cast<double>(TipTexts[i].size()) / lengths[i];
        EXPECT_LT(std::abs(ratio - 1.0), 0.15)
            << "tip " << i << " has " << TipTexts[i].size() << " characters";
    }
    EXPECT_EQ(TipTexts[2],
              "Up to 80% of the time and cost involved in a data warehouse project is spent on data quality "
              "issues. Stop wasting time and money. Call Corvane today.");
}

TEST(TipTexts, CarryNoRealContactData)
{
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

TEST(TTipForm, CreationAdvancesOnceAndNextTipWrapsAround)
{
    TTipForm form(15);
    EXPECT_EQ(form.TipIndex(), 0);
    EXPECT_EQ(form.TipLabel()->text().toStdString(), TipTexts[0]);
    EXPECT_EQ(form.windowTitle(), "Data Quality Control Tip");
    EXPECT_EQ(form.size(), QSize(325, 286));
    EXPECT_EQ(form.NextTipButton()->text(), "&Next Tip");
    EXPECT_EQ(form.NextTipButton()->toolTip(), "Shows Next Tip");
    EXPECT_EQ(form.CloseButton()->text(), "&Close");
    EXPECT_EQ(form.CloseButton()->toolTip(), "Close Tip Window");
    EXPECT_FALSE(form.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());

    const QString before = form.TipLabel()->text();
    for (int i = 0; i < kTipCount; ++i)
        form.NextTipButton()->click();
    EXPECT_EQ(form.TipLabel()->text(), before);
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
    form.exec();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.TipIndex(), 4);
}

TEST(TAboutForm, ShowsTheSamePictureEveryTime)
{
    TAboutForm about;
    EXPECT_EQ(about.windowTitle(), "About Lintwick");
    EXPECT_EQ(about.size(), QSize(400, 224));
    EXPECT_EQ(about.Image1()->geometry(), QRect(11, 3, 379, 218));
    const QImage first = about.Image1()->pixmap().toImage();
    EXPECT_FALSE(first.isNull());
    for (int showing = 0; showing < 2; ++showing) {
        QTimer::singleShot(0, &about, &QDialog::close);
        about.exec();
        EXPECT_FALSE(about.isVisible());
    }
    EXPECT_EQ(about.Image1()->pixmap().toImage(), first);
}
