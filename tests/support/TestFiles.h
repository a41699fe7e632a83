// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LocaleSettings.h"

#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

// The bytes of a file; empty when it cannot be read.
inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
    return {.shortDateFormat = "dd.MM.yy",
            .longTimeFormat = "HH:mm:ss",
            .amDesignator = "",
            .pmDesignator = "",
            .thousandSeparator = ".",
            .decimalSeparator = ","};
}
