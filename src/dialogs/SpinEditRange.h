// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// The value rules of an integer spin edit, apart from the widget: the field's text is what the user
// typed, and these say what it is worth.
class SpinEditRange
{
public:
    int MinValue = 0;
    int MaxValue = 100;
    int Increment = 1;

    // The integer written in text (an optional sign and decimal digits, nothing else), or MinValue
    // when text is not one. Not clamped.
    int ValueOf(std::string_view text) const;
    // value brought into the range; no clamping while MinValue equals MaxValue.
    int Clamped(int value) const;
    // What the field shows once it loses the focus: an integer clamped into the range, any other
    // text as it was typed.
    std::string TextAfterFocusLoss(std::string_view text) const;
    // The value after steps presses of the up (positive) or down (negative) arrow, clamped.
    int Stepped(std::string_view text, int steps) const;
};
