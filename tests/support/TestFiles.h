// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LocaleSettings.h"

#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

// The bytes of a file; empty when it cannot be read.
inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Whether something (a link included, whatever it points to) is at path.
inline bool PathExists(const std::string& path)
{
    struct stat st = {};
    return ::lstat(path.c_str(), &st) == 0;
}

// German conventions: "dd.MM.yy", "HH:mm:ss", "." between thousands, "," before decimals.
inline LocaleSettings GermanLocale()
{
    LocaleSettings de;
    de.shortDateFormat = "dd.MM.yy";
    de.longTimeFormat = "HH:mm:ss";
    de.amDesignator = "";
    de.pmDesignator = "";
    de.thousandSeparator = ".";
    de.decimalSeparator = ",";
    return de;
}
