// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/WheelAccumulator.h"

#include <algorithm>

int WheelAccumulator::Axis::Take(int angle, int pixels, int pixelsPerStep)
{
    const bool usePixels = pixels != 0;
    const int delta = usePixels ? pixels : angle;
    if (delta == 0)
        return 0;
    if (usePixels != m_pixels || (m_rest > 0) != (delta > 0))
        m_rest = 0;
    m_pixels = usePixels;
    const int unit = usePixels ? std::max(1, pixelsPerStep) : kAnglePerNotch / kStepsPerNotch;
    m_rest += delta;
    const int steps = m_rest / unit; // truncates towards zero, keeping the sign of the rest
    m_rest -= steps * unit;
    return -steps;
}

WheelAccumulator::Steps WheelAccumulator::Add(int angleX, int angleY, int pixelX, int pixelY, int columnWidth,
                                              int rowHeight)
{
    return Steps{m_x.Take(angleX, pixelX, columnWidth), m_y.Take(angleY, pixelY, rowHeight)};
}

void WheelAccumulator::Clear()
{
    m_x = Axis{};
    m_y = Axis{};
}
