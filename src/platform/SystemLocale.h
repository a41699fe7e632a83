// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LocaleSettings.h"

class QLocale;

// The settings of the given Qt locale. Time-zone parts of the time format are dropped; the C locale
// (which is what C and POSIX give) maps to US English.
LocaleSettings localeSettingsFrom(const QLocale& locale);

// The settings of QLocale::system().
LocaleSettings systemLocaleSettings();
