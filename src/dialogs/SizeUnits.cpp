// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/SizeUnits.h"

std::int64_t SizeThreshold(int value, int unitIndex)
{
    return std::int64_t{value} * kSizeUnits[unitIndex == kKilobytes ? kKilobytes : kMegabytes].bytes;
}

int SwitchSizeUnit(SpinEditRange& range, int unitIndex)
{
    const SizeUnit& unit = kSizeUnits[unitIndex == kKilobytes ? kKilobytes : kMegabytes];
    range.MinValue = unit.minValue;
    range.MaxValue = unit.maxValue;
    range.Increment = unit.increment;
    return range.Clamped(unit.startValue);
}
