// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/TipSchedule.h"

bool TipSchedule::ReportCommand()
{
    const bool due = m_tipCounter % 3 == 0;
    ++m_tipCounter;
    return due;
}
