// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HelpFileSearch.h"

#include "TempTree.h"

#include <gtest/gtest.h>

TEST(HelpFileSearch, ProgramDirThenBesideTheExecutableThenTheInstalledShareFolder)
{
    TempTree tree;
    tree.dir("start");
    tree.dir("prefix/bin");
    const std::string wanted = tree.path("start/Lintwick.hlp");
    const std::string bin = tree.path("prefix/bin");

    EXPECT_EQ(LocateHelpFile(wanted, bin), "");

    tree.file("prefix/share/lintwick/Lintwick.hlp");
    EXPECT_EQ(LocateHelpFile(wanted, bin), tree.path("prefix/share/lintwick/Lintwick.hlp"));
    EXPECT_EQ(LocateHelpFile(wanted, bin + "/"), tree.path("prefix/share/lintwick/Lintwick.hlp"));

    tree.file("prefix/bin/Lintwick.hlp");
    EXPECT_EQ(LocateHelpFile(wanted, bin), tree.path("prefix/bin/Lintwick.hlp"));

    // Only a regular file counts: a folder of that name in the program directory is passed over.
    tree.dir("start/Lintwick.hlp");
    EXPECT_EQ(LocateHelpFile(wanted, bin), tree.path("prefix/bin/Lintwick.hlp"));
    RemoveTree(wanted);
    tree.file("start/Lintwick.hlp");
    EXPECT_EQ(LocateHelpFile(wanted, bin), wanted);

    // Without the executable's folder only the program directory is asked.
    tree.remove("start/Lintwick.hlp");
    EXPECT_EQ(LocateHelpFile(wanted, ""), "");
}
