// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string>
#include <string_view>

// File names are bytes; a text field or Qt's printer holds a QString. These two carry a name across
// and back byte for byte, which QFile::decodeName and encodeName do not for a name that is not UTF-8:
// each byte that starts no well-formed UTF-8 sequence becomes the lone surrogate U+DC80 ... U+DCFF
// (shown as a replacement mark) and comes back as that byte. Text typed or picked by the user is
// ordinary Unicode and comes back as its UTF-8.
QString FileNameToText(std::string_view name);
std::string TextToFileName(const QString& text);
