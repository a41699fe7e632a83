// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/RowForms.h"

#include <charconv>
#include <cmath>
#include <iterator>

namespace {

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Byte offset just past the first n characters of s, and how many characters s has up to there.
std::pair<size_t, int> advanceCharacters(std::string_view s, int n)
{
    size_t i = 0;
    int count = 0;
    while (i < s.size() && count < n) {
        ++i;
        while (i < s.size() && isContinuationByte(s[i]))
            ++i;
        ++count;
    }
    return {i, count};
}

} // namespace

std::string FitToWidth(std::string_view s, int w)
{
    if (w <= 0)
        return {};
    const auto [bytes, chars] = advanceCharacters(s, w);
    std::string out(s.substr(0, bytes));
    out.append(static_cast<size_t>(w - chars), ' ');
    return out;
}

std::string PadToWidth(std::string_view s, int w)
{
    const auto [bytes, chars] = advanceCharacters(s, w);
    std::string out(s);
    if (bytes == s.size() && chars < w)
        out.append(static_cast<size_t>(w - chars), ' ');
    return out;
}

std::string TimeText(const LocalDateTime& when, const LocaleSettings& locale)
{
    std::string text = FormatDateTime(locale.shortDateFormat, when, locale);
    if (when.hour != 0 || when.minute != 0 || when.second != 0) {
        text += ' ';
        text += FormatDateTime(locale.longTimeFormat, when, locale);
    }
    return text;
}

std::string SizeText(std::int64_t size, const LocaleSettings& locale)
{
    char buf[24];
    const bool negative = size < 0;
    // Work on the unsigned magnitude so that the smallest 64-bit value has one too.
    const unsigned long long magnitude =
        negative ? 0ull - static_cast<unsigned long long>(size) : static_cast<unsigned long long>(size);
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, magnitude);
    (void)ec;
    const size_t digits = static_cast<size_t>(end - buf);
    std::string out;
    if (negative)
        out += '-';
    for (size_t k = 0; k < digits; ++k) {
        if (k > 0 && (digits - k) % 3 == 0)
            out += locale.thousandSeparator;
        out += buf[k];
    }
    return out;
}

std::string ByteSizeText(std::int64_t bytes, const LocaleSettings& locale)
{
    if (bytes < 1024)
        return SizeText(bytes, locale) + (bytes == 1 ? " byte" : " bytes");
    static constexpr const char* kUnits[] = {" KB", " MB", " GB", " TB"};
    long double scaled = bytes;
    std::int64_t tenths = 0;
    size_t unit = 0;
    // 1,023.96 KB rounds to 1,024.0 KB: that is written 1.0 MB.
    for (;; ++unit) {
        scaled /= 1024;
        tenths = std::llround(scaled * 10);
        if (tenths < 10240 || unit + 1 == std::size(kUnits))
            break;
    }
    return SizeText(tenths / 10, locale) + locale.decimalSeparator + char('0' + tenths % 10) + kUnits[unit];
}

std::string StandardRow(const LocalDateTime& when, std::int64_t size, std::string_view path,
                        const LocaleSettings& locale, std::optional<std::string_view> contentClass)
{
    std::string row = FitToWidth(TimeText(when, locale), 20);
    row += "  ";
    row += PadToWidth(SizeText(size, locale), 15);
    row += "  ";
    if (contentClass) {
        row += PadToWidth(*contentClass, 5);
        row += "  ";
    }
    row += path;
    return row;
}

std::string ZeroLengthRow(const LocalDateTime& when, std::int64_t size, std::string_view path,
                          const LocaleSettings& locale)
{
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, size);
    (void)ec;
    std::string row = FitToWidth(TimeText(when, locale), 20);
    row += "  ";
    row += PadToWidth(std::string_view(buf, static_cast<size_t>(end - buf)), 14);
    row += "   ";
    row += path;
    return row;
}
