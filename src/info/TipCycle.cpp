// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/TipCycle.h"

#include "info/TipTexts.h"

TipCycle::TipCycle(int start) : m_index(((start % kTipCount) + kTipCount) % kTipCount) {}

std::string_view TipCycle::Current() const
{
    return TipTexts[m_index];
}

std::string_view TipCycle::Next()
{
    m_index = m_index + 1 == kTipCount ? 0 : m_index + 1;
    return Current();
}
