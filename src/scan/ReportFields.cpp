// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ReportFields.h"

#include "platform/DateTimeFormat.h"

#include <cstdlib>

namespace {

struct Utf8Step
{
    size_t length; // bytes taken
    bool valid;    // a whole character; otherwise a maximal ill-formed part
};

// The character that starts at s[i], or the longest ill-formed part there that a well-formed
// character could have begun with (at least one byte).
Utf8Step NextUtf8(std::string_view s, size_t i)
{
    const unsigned char lead = static_cast<unsigned char>(s[i]);
    if (lead < 0x80)
        return {1, true};
    size_t trail;
    // Range of the first continuation byte: the narrower ranges rule out overlong forms, surrogates
    // and code points above U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        trail = 1;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        trail = 2;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trail = 3;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else
        return {1, false};

    for (size_t k = 1; k <= trail; ++k) {
        if (i + k >= s.size())
            return {k, false};
        const unsigned char c = static_cast<unsigned char>(s[i + k]);
        if (c < low || c > high)
            return {k, false};
        low = 0x80;
        high = 0xBF;
    }
    return {trail + 1, true};
}

void AppendDigits(std::string& out, long value, int width)
{
    std::string digits = std::to_string(value);
    if (digits.size() < static_cast<size_t>(width))
        out.append(static_cast<size_t>(width) - digits.size(), '0');
    out += digits;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar (H. Hinnant's days_from_civil).
std::int64_t DaysFromCivil(std::int64_t year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

} // namespace

bool IsValidUtf8(std::string_view s)
{
    for (size_t i = 0; i < s.size();) {
        const Utf8Step step = NextUtf8(s, i);
        if (!step.valid)
            return false;
        i += step.length;
    }
    return true;
}

std::string WithReplacementCharacters(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const Utf8Step step = NextUtf8(s, i);
        if (step.valid)
            out.append(s.substr(i, step.length));
        else
            out += "\xEF\xBF\xBD";
        i += step.length;
    }
    return out;
}

std::string Base64(std::string_view bytes)
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = bytes.size() - i < 3 ? bytes.size() - i : 3;
        std::uint32_t group = 0;
        for (size_t k = 0; k < 3; ++k)
            group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (size_t k = 0; k < 4; ++k)
            out += k <= n ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
    return out;
}

std::string CsvField(std::string_view s)
{
    if (s.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(s);
    std::string out = "\"";
    for (char c : s) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string JsonString(std::string_view s)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    out.reserve(s.size() + 2);
    for (char c : s) {
        const unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (u < 0x20) {
                out += "\\u00";
                out += kHex[u >> 4];
                out += kHex[u & 0xF];
            } else
                out += c;
        }
    }
    out += '"';
    return out;
}

std::string IsoLocalTime(std::int64_t secondsSinceEpoch)
{
    const LocalDateTime local = ToLocalDateTime(secondsSinceEpoch);
    const std::int64_t localSeconds = DaysFromCivil(local.year, local.month, local.day) * 86400 +
                                      local.hour * 3600 + local.minute * 60 + local.second;
    const long offset = static_cast<long>(localSeconds - secondsSinceEpoch);

    std::string out;
    if (local.year < 0)
        out += '-';
    AppendDigits(out, std::labs(local.year), 4);
    out += '-';
    AppendDigits(out, local.month, 2);
    out += '-';
    AppendDigits(out, local.day, 2);
    out += 'T';
    AppendDigits(out, local.hour, 2);
    out += ':';
    AppendDigits(out, local.minute, 2);
    out += ':';
    AppendDigits(out, local.second, 2);
    out += offset < 0 ? '-' : '+';
    const long magnitude = std::labs(offset);
    AppendDigits(out, magnitude / 3600, 2);
    out += ':';
    AppendDigits(out, magnitude / 60 % 60, 2);
    if (magnitude % 60 != 0) {
        out += ':';
        AppendDigits(out, magnitude % 60, 2);
    }
    return out;
}
