// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "print/ELinePrinter.h"

#include <gtest/gtest.h>

#include <functional>

// Expects act to raise ELinePrinter with exactly message.
inline void expectRefused(const std::function<void()>& act, const char* message)
{
    try {
        act();
        ADD_FAILURE() << "not refused: " << message;
    } catch (const ELinePrinter& e) {
        EXPECT_STREQ(e.what(), message);
    }
}
