// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ThumbScale.h"

#include <algorithm>

namespace {

// value × numerator / denominator rounded to the nearest whole number (halves up).
long long ScaleRounded(long long value, long long numerator, long long denominator)
{
    return denominator <= 0 ? 0 : (2 * value * numerator + denominator) / (2 * denominator);
}

} // namespace

ThumbScale::ThumbScale(int lastTop, int maximum)
    : m_lastTop(std::max(0, lastTop)), m_maximum(std::max(0, maximum))
{}

int ThumbScale::TopAt(int position) const
{
    const long long p = std::clamp<long long>(position, 0, m_maximum);
    return static_cast<int>(ScaleRounded(p, m_lastTop, m_maximum));
}

int ThumbScale::PositionOf(int top) const
{
    const long long t = std::clamp<long long>(top, 0, m_lastTop);
    return static_cast<int>(ScaleRounded(t, m_maximum, m_lastTop));
}
