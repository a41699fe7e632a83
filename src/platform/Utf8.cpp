// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Utf8.h"

std::size_t Utf8CharLength(std::string_view text, std::size_t at)
{
    if (at >= text.size())
        return 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const auto continues = [&](std::size_t i, unsigned char low = 0x80, unsigned char high = 0xBF) {
        return at + i < text.size() && byte(i) >= low && byte(i) <= high;
    };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return continues(1) ? 2 : 1;
    if (lead >= 0xE0 && lead <= 0xEF) {
        // E0 needs A0 and up (no overlong form), ED at most 9F (no surrogate).
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return continues(1, low, high) && continues(2) ? 3 : 1;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return continues(1, low, high) && continues(2) && continues(3) ? 4 : 1;
    }
    return 1;
}

char32_t Utf8CharAt(std::string_view text, std::size_t at)
{
    const std::size_t length = Utf8CharLength(text, at);
    if (length == 0)
        return 0;
    const auto byte = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(text[at + i]));
    };
    switch (length) {
    case 1:
        return byte(0) < 0x80 ? byte(0) : kReplacementCharacter;
    case 2:
        return ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
    case 3:
        return ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    default:
        return ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) |
               (byte(3) & 0x3F);
    }
}

std::size_t Utf8Prefix(std::string_view text, std::size_t maxBytes)
{
    if (maxBytes >= text.size())
        return text.size();
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + Utf8CharLength(text, end);
        if (next > maxBytes)
            break;
        end = next;
    }
    return end;
}
