// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which scroll bars a widget has.
enum class TScrollStyle
{
    ssNone,
    ssHorizontal,
    ssVertical,
    ssBoth
};

enum class TBorderStyle
{
    bsNone,
    bsSingle
};
