// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/HelpCommands.h"
#include "platform/RecordingHelpViewer.h"

#include <gtest/gtest.h>

TEST(HelpCommands, JumpsOnlyAfterTheContentsOpened)
{
    RecordingHelpViewer viewer;
    HelpCommands help(viewer, "/opt/lw/");
    help.ShowTopic("SCRIBBLE90");
    help.ShowFinder();
    EXPECT_EQ(viewer.requests, (std::vector<std::string>{"Contents /opt/lw/Lintwick.hlp", "JumpID SCRIBBLE90",
                                                         "Finder /opt/lw/Lintwick.hlp"}));

    viewer.requests.clear();
    viewer.contentsResult = false;
    help.ShowTopic("SCRIBBLE100");
    EXPECT_EQ(viewer.requests, (std::vector<std::string>{"Contents /opt/lw/Lintwick.hlp"}));
}
