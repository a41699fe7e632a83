// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// A canvas font as the printer device keeps it. The pixel height is the truth; the point size is derived
// from it through pixelsPerInch, so moving a font to a device of another resolution means reading its
// point size, changing pixelsPerInch and setting the point size back.
struct PrinterFont
{
    std::string name;
    int height = 13; // cell height in pixels at pixelsPerInch
    int pixelsPerInch = 96;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint32_t color = 0x000000; // 0xRRGGBB

    // Whole points, halves rounded away from zero.
    int size() const;
    // Sets the height that the given point size has at pixelsPerInch.
    void setSize(int points);

    bool operator==(const PrinterFont&) const = default;
};
