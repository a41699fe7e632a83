// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LocaleSettings.h"

#include <ctime>
#include <string>
#include <string_view>

// Formats a local time with Qt's pattern letters as LocaleSettings carries them: d dd ddd dddd,
// M MM MMM MMMM, yy yyyy, h hh H HH, m mm, s ss, z zzz (always 0, the clock has whole seconds),
// AP ap A a, and 'quoted text' with '' for a quote. Names and designators come from the locale;
// h is the 12-hour clock when the pattern has an AM/PM marker. Any other character is copied.
std::string formatDateTime(std::string_view pattern, const std::tm& when, const LocaleSettings& locale);
