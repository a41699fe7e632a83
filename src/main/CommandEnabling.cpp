// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/CommandEnabling.h"

bool PrintEnabled(int numItems)
{
    return numItems > 0;
}

bool DeleteEnabled(int itemIndex, bool separatorSelected, int marked)
{
    return marked > 0 || (itemIndex >= 0 && !separatorSelected);
}

bool CompareEnabled(ScanMode shownReport, int lastRow, bool busy)
{
    return shownReport == ScanMode::Duplicates && lastRow >= 0 && !busy;
}
