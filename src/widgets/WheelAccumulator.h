// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Turns wheel and touchpad movement into whole rows and columns. A notch of a classic wheel (120
// eighths of a degree) is three steps; touchpads and high-resolution wheels send a notch in small
// pieces, which add up here until they make a step. Where the device reports pixels they count
// instead, a row height or a column width per step. A change of direction drops what was left over.
class WheelAccumulator
{
public:
    static constexpr int kAnglePerNotch = 120;
    static constexpr int kStepsPerNotch = 3;

    struct Steps
    {
        int Columns = 0; // positive: towards the end of the line
        int Rows = 0;    // positive: towards the end of the text
    };

    // angle and pixels as the wheel event gives them (positive: up or left); pixels 0 when the
    // device reports none.
    Steps Add(int angleX, int angleY, int pixelX, int pixelY, int columnWidth, int rowHeight);
    void Clear();

private:
    struct Axis
    {
        int Take(int angle, int pixels, int pixelsPerStep);
        int m_rest = 0; // in angle units or pixels, whichever the last event used
        bool m_pixels = false;
    };

    Axis m_x;
    Axis m_y;
};
