// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// A hint is "short|long": the short part is the tooltip, the long part the status bar text. A hint
// without a bar serves as both.
std::string ShortHint(std::string_view hint);
std::string LongHint(std::string_view hint);
