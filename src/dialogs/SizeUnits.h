// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/SpinEditRange.h"

#include <cstdint>

// The two units of the size criteria dialog, by their index in its unit group.
struct SizeUnit
{
    const char* label;
    int minValue;
    int maxValue;
    int increment;
    int startValue; // what the field shows after switching to the unit
    std::int64_t bytes;
};

inline constexpr int kKilobytes = 0;
inline constexpr int kMegabytes = 1;
inline constexpr SizeUnit kSizeUnits[] = {
    {"Kilobytes", 100, 20000, 100, 1000, 1024},
    {"Megabytes", 1, 1000, 1, 1, 1048576},
};

// The smallest size in bytes a file of the larger-than report has: value units.
std::int64_t SizeThreshold(int value, int unitIndex);

// Puts the unit's range into the field's rules and returns the value to show, which is the unit's
// own starting value: a number is never converted between units.
int SwitchSizeUnit(SpinEditRange& range, int unitIndex);
