// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Simple Unicode case folding of UTF-8 text, one character for one: "Ä" becomes "ä", "ẞ" becomes "ß",
// the Kelvin sign a plain "k". A byte that starts no well-formed sequence stays as it is. A folded
// character may take more or fewer bytes than the original one.

// Puts the folded text into folded (replacing what it held, keeping its memory).
void FoldCase(std::string_view text, std::string& folded);
std::string FoldCase(std::string_view text);

// Where the character at offset at of text (a character boundary, or text.size()) starts in the
// folded text.
std::size_t FoldedOffset(std::string_view text, std::size_t at);
// The other way: the offset in text of the character whose folded form starts at offset folded of
// the folded text; text.size() for its end.
std::size_t UnfoldedOffset(std::string_view text, std::size_t folded);
