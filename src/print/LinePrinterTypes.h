// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <initializer_list>

// The line printer's enumerations. Their ordinal values are fixed: stored forms keep them.

enum class TMeasureUnit
{
    muInches = 0,
    muMillimeters = 1,
};

enum class TLineSpacing
{
    lsHalfSpace = 0,
    lsSingleSpace = 1,
    lsSingleAndAHalf = 2,
    lsDoubleSpace = 3,
};

enum class TAlignment
{
    taLeftJustify = 0,
    taRightJustify = 1,
    taCenter = 2,
};

enum class TPageBorderStyle
{
    pbTop = 0,
    pbBottom = 1,
    pbLeft = 2,
    pbRight = 3,
};

// A set of border styles in one byte, bit n standing for style n.
class TPageBorders
{
public:
    constexpr TPageBorders() = default;
    constexpr TPageBorders(std::initializer_list<TPageBorderStyle> styles)
    {
        for (TPageBorderStyle s : styles)
            m_bits |= bit(s);
    }

    constexpr bool contains(TPageBorderStyle s) const { return (m_bits & bit(s)) != 0; }
    constexpr bool empty() const { return m_bits == 0; }
    constexpr std::uint8_t bits() const { return m_bits; }
    constexpr bool operator==(const TPageBorders&) const = default;

private:
    static constexpr std::uint8_t bit(TPageBorderStyle s) { return std::uint8_t(1u << unsigned(s)); }
    std::uint8_t m_bits = 0;
};
