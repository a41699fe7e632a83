// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// How many blanks stand before "{more}": two in the summary made at start-up, one in the summary
// the Drives command makes.
enum class SummaryStyle
{
    StartUp,
    DrivesCommand,
};

// The short form of the drive list shown in the Drives field: the first nine roots without their
// trailing "/" ("/" stays "/"), separated by blanks, then "{more}" when there are ten or more.
std::string DrivesSummary(const std::vector<std::string>& roots, SummaryStyle style);
