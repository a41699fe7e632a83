// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// When a report command shows a tip first: the 1st, 4th, 7th ... report command since start-up,
// whether or not the report then runs.
class TipSchedule
{
public:
    // Counts one report command; true when it is to show a tip first.
    bool ReportCommand();
    int TipCounter() const { return m_tipCounter; }

private:
    int m_tipCounter = 0;
};
