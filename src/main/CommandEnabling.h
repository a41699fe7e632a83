// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/ScanMode.h"

// Print follows whether the report has rows.
bool PrintEnabled(int numItems);

// Delete needs marked rows, or else a selected row that stands for a file: a separator row has none,
// so Delete is off while one is selected and nothing is marked.
bool DeleteEnabled(int itemIndex, bool separatorSelected, int marked);

// Compare Contents needs a duplicates report with rows on screen, and no run or check under way.
bool CompareEnabled(ScanMode shownReport, int lastRow, bool busy);
