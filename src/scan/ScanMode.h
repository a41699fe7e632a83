// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The three reports. The values are the ones the program has always used for them.
enum class ScanMode
{
    Duplicates = 0,
    LargerThan = 1,
    ZeroLength = 2,
};
