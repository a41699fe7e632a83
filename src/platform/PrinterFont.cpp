// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PrinterFont.h"

#include <cmath>

namespace {

// a * b / c rounded half away from zero, as device-unit arithmetic on desktops does it.
int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return 0;
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

} // namespace

int PrinterFont::size() const
{
    return mulDiv(height, 72, pixelsPerInch);
}

void PrinterFont::setSize(int points)
{
    height = mulDiv(points, pixelsPerInch, 72);
}
