// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

// Characters of UTF-8 text that may not be valid: a character is one well-formed UTF-8 sequence
// (no overlong forms, no surrogates, nothing above U+10FFFF), or else one byte on its own.

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Bytes in the character that starts at offset at; 0 at or past the end.
std::size_t Utf8CharLength(std::string_view text, std::size_t at);
// The character that starts at offset at; kReplacementCharacter for a byte that starts no
// well-formed sequence, 0 at or past the end.
char32_t Utf8CharAt(std::string_view text, std::size_t at);
// The longest prefix of text that holds at most maxBytes bytes and ends on a character boundary.
std::size_t Utf8Prefix(std::string_view text, std::size_t maxBytes);
