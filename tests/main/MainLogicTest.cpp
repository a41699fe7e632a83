// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ActivationTipRule.h"
#include "main/HomePageLink.h"
#include "main/TipSchedule.h"
#include "platform/FakeProgramLauncher.h"
#include "platform/RecordingMessageBoxes.h"

#include <gtest/gtest.h>

#include <vector>

using Shown = RecordingMessageBoxes::Shown;

TEST(TipSchedule, FirstFourthAndSeventhReportCommandsShowATip)
{
    TipSchedule schedule;
    std::vector<bool> due;
    for (int command = 1; command <= 9; ++command)
        due.push_back(schedule.ReportCommand());
    EXPECT_EQ(due, (std::vector<bool>{true, false, false, true, false, false, true, false, false}));
    EXPECT_EQ(schedule.TipCounter(), 9);
}

TEST(ActivationTipRule, TipAtStartUpAndWhenComingBackFromANonModalWindowOnly)
{
    ActivationTipRule rule;
    EXPECT_TRUE(rule.WindowActivated(ActivatedWindow::Main)); // first showing

    // The tip window itself, a dialog, a message box: all modal, no tip on return.
    EXPECT_FALSE(rule.WindowActivated(ActivatedWindow::Modal));
    EXPECT_FALSE(rule.WindowActivated(ActivatedWindow::Main));

    // From the audit report window back to the main window.
    EXPECT_FALSE(rule.WindowActivated(ActivatedWindow::NonModal));
    EXPECT_TRUE(rule.WindowActivated(ActivatedWindow::Main));

    // Away to another program and back: no tip.
    EXPECT_FALSE(rule.WindowActivated(ActivatedWindow::Outside));
    EXPECT_FALSE(rule.WindowActivated(ActivatedWindow::Main));

    // Leaving from the audit window to another program, then clicking the main window: the main
    // window takes over from the audit window, so a tip is due.
    rule.WindowActivated(ActivatedWindow::NonModal);
    rule.WindowActivated(ActivatedWindow::Outside);
    EXPECT_TRUE(rule.WindowActivated(ActivatedWindow::Main));

    // A modal dialog over the audit window, closed, then the main window: from the audit window.
    rule.WindowActivated(ActivatedWindow::NonModal);
    rule.WindowActivated(ActivatedWindow::Modal);
    rule.WindowActivated(ActivatedWindow::NonModal);
    EXPECT_TRUE(rule.WindowActivated(ActivatedWindow::Main));

    // The first showing of the main window after other windows still shows a tip.
    ActivationTipRule late;
    EXPECT_FALSE(late.WindowActivated(ActivatedWindow::Outside));
    EXPECT_FALSE(late.WindowActivated(ActivatedWindow::Modal));
    EXPECT_TRUE(late.WindowActivated(ActivatedWindow::Main));
}

TEST(HomePageLink, TriesTheNextBrowserOnlyWhileOneIsNotFound)
{
    struct Case
    {
        const char* name;
        std::map<std::string, int> results;
        size_t calls;
        std::vector<Shown> shown;
    };
    const std::vector<Case> cases = {
        {"first found", {{"xdg-open", ProgramLauncher::kStarted}}, 1, {}},
        {"first fails otherwise", {{"xdg-open", ProgramLauncher::kFailed}}, 1, {}},
        {"second found", {{"x-www-browser", ProgramLauncher::kStarted}}, 2, {}},
        {"second fails otherwise", {{"x-www-browser", ProgramLauncher::kFailed}}, 2, {}},
        {"none found", {}, 2, {{"beep", ""}, {"Error", "Web browser could not be launched."}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeProgramLauncher launcher;
        launcher.results = c.results;
        RecordingMessageBoxes messages;
        HomePageLink(launcher, messages).Open();
        ASSERT_EQ(launcher.calls.size(), c.calls);
        EXPECT_EQ(launcher.calls[0],
                  std::make_pair(std::string("xdg-open"), std::string("https://www.corvane.example/")));
        if (c.calls == 2) {
            EXPECT_EQ(launcher.calls[1].first, "x-www-browser");
        }
        EXPECT_EQ(messages.shown, c.shown);
    }
}
