// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TopicHistory.h"

#include <gtest/gtest.h>

TEST(TopicHistory, BackAndForwardAsABrowserHasThem)
{
    TopicHistory history;
    EXPECT_FALSE(history.Back());
    EXPECT_FALSE(history.Forward());

    for (std::size_t topic : {0, 4, 4, 7}) // the repeated 4 is one step
        history.Visit(topic);
    EXPECT_EQ(history.Back(), 4u);
    EXPECT_EQ(history.Back(), 0u);
    EXPECT_FALSE(history.CanGoBack());
    EXPECT_FALSE(history.Back());
    history.Visit(0); // the viewer records the topic Back showed: no new step
    EXPECT_EQ(history.Forward(), 4u);
    EXPECT_TRUE(history.CanGoForward());

    // A new topic after going back drops what was ahead.
    history.Visit(9);
    EXPECT_FALSE(history.CanGoForward());
    EXPECT_EQ(history.Back(), 4u);
    EXPECT_EQ(history.Back(), 0u);

    history.Clear();
    EXPECT_FALSE(history.CanGoBack());
    EXPECT_FALSE(history.CanGoForward());
    history.Visit(3);
    EXPECT_FALSE(history.CanGoBack());
}
