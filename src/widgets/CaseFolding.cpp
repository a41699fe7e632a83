// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/CaseFolding.h"

#include "platform/Utf8.h"

#include <unicode/uchar.h>

#include <utility>

namespace {

char32_t Fold(char32_t c)
{
    return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
}

std::size_t Utf8Length(char32_t c)
{
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

void AppendUtf8(std::string& out, char32_t c)
{
    const std::size_t length = Utf8Length(c);
    if (length == 1) {
        out.push_back(static_cast<char>(c));
        return;
    }
    static constexpr unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    out.push_back(static_cast<char>(kLead[length] | (c >> (6 * (length - 1)))));
    for (std::size_t i = length - 1; i-- > 0;)
        out.push_back(static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F)));
}

// Walks text and its folded form side by side up to the first character boundary at or past either
// limit; returns the offsets there in text and in the folded text.
std::pair<std::size_t, std::size_t> Walk(std::string_view text, std::size_t rawLimit, std::size_t foldedLimit)
{
    std::size_t raw = 0;
    std::size_t folded = 0;
    while (raw < text.size() && raw < rawLimit && folded < foldedLimit) {
        const std::size_t length = Utf8CharLength(text, raw);
        folded += length == 1 ? 1 : Utf8Length(Fold(Utf8CharAt(text, raw)));
        raw += length;
    }
    return {raw, folded};
}

} // namespace

void FoldCase(std::string_view text, std::string& folded)
{
    folded.clear();
    folded.reserve(text.size() + text.size() / 2);
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x80) {
            folded.push_back(static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte));
            ++at;
            continue;
        }
        const std::size_t length = Utf8CharLength(text, at);
        if (length == 1)
            folded.push_back(text[at]);
        else
            AppendUtf8(folded, Fold(Utf8CharAt(text, at)));
        at += length;
    }
}

std::string FoldCase(std::string_view text)
{
    std::string folded;
    FoldCase(text, folded);
    return folded;
}

std::size_t FoldedOffset(std::string_view text, std::size_t at)
{
    return Walk(text, at, std::string_view::npos).second;
}

std::size_t UnfoldedOffset(std::string_view text, std::size_t folded)
{
    return Walk(text, std::string_view::npos, folded).first;
}
