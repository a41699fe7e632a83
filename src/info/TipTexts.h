// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string_view>

inline constexpr int kTipCount = 16;

// The sixteen tips about the maker's data quality services, in the order the tip window walks them.
extern const std::array<std::string_view, kTipCount> TipTexts;
