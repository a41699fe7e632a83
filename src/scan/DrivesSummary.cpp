// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/DrivesSummary.h"

std::string DrivesSummary(const std::vector<std::string>& roots, SummaryStyle style)
{
    std::string summary;
    for (size_t i = 0; i < roots.size(); ++i) {
        if (i == 9) {
            summary += style == SummaryStyle::StartUp ? "  {more}" : " {more}";
            break;
        }
        std::string shown = roots[i];
        if (shown.size() > 1 && shown.back() == '/')
            shown.pop_back();
        if (i > 0)
            summary += ' ';
        summary += shown;
    }
    return summary;
}
