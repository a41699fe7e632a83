// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/HintText.h"

std::string ShortHint(std::string_view hint)
{
    return std::string(hint.substr(0, hint.find('|')));
}

std::string LongHint(std::string_view hint)
{
    const size_t bar = hint.find('|');
    return std::string(bar == std::string_view::npos ? hint : hint.substr(bar + 1));
}
