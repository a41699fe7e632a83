// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TrashInfo.h"

#include "platform/HexDigits.h"

#include <cstdio>

namespace {

bool isUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// At most max bytes of s, never ending inside a UTF-8 sequence.
std::string_view cutAtCharacter(std::string_view s, std::size_t max)
{
    if (s.size() <= max)
        return s;
    std::size_t end = max;
    while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80)
        --end;
    return s.substr(0, end);
}

} // namespace

std::string EncodeTrashPath(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (isUnreserved(c) || c == '/') {
            out += ch;
        } else {
            out += '%';
            out += kUpperHexDigits[c >> 4];
            out += kUpperHexDigits[c & 0xF];
        }
    }
    return out;
}

std::optional<std::string> DecodeTrashPath(std::string_view encoded)
{
    std::string out;
    out.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != '%') {
            out += encoded[i];
            continue;
        }
        if (i + 2 >= encoded.size())
            return std::nullopt;
        const int high = HexDigitValue(encoded[i + 1]);
        const int low = HexDigitValue(encoded[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::string TrashInfoText(std::string_view originalPath, const LocalDateTime& deletedAt)
{
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02dT%02d:%02d:%02d", deletedAt.year, deletedAt.month,
                  deletedAt.day, deletedAt.hour, deletedAt.minute, deletedAt.second);
    return "[Trash Info]\nPath=" + EncodeTrashPath(originalPath) + "\nDeletionDate=" + date + "\n";
}

std::optional<TrashInfo> ParseTrashInfo(std::string_view text)
{
    bool inGroup = false;
    bool sawGroup = false;
    std::optional<std::string> path;
    std::optional<std::string> date;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            inGroup = line == "[Trash Info]";
            sawGroup = sawGroup || inGroup;
            continue;
        }
        if (!inGroup)
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string_view value = trimmed(line.substr(equals + 1));
        if (key == "Path" && !path) {
            path = DecodeTrashPath(value);
            if (!path)
                return std::nullopt;
        } else if (key == "DeletionDate" && !date) {
            date = std::string(value);
        }
    }
    if (!sawGroup || !path)
        return std::nullopt;
    return TrashInfo{*path, date.value_or(std::string())};
}

std::string TrashCandidateName(std::string_view name, int attempt)
{
    // The extension is what follows the last dot, unless that dot starts the name (".profile").
    const std::size_t dot = name.rfind('.');
    const bool hasExtension = dot != std::string_view::npos && dot > 0;
    const std::string_view stem = hasExtension ? name.substr(0, dot) : name;
    const std::string_view extension = hasExtension ? name.substr(dot) : std::string_view();
    const std::string counter = attempt > 1 ? "." + std::to_string(attempt) : std::string();

    // An extension that alone leaves no room for the stem is treated as part of it.
    if (extension.size() + counter.size() >= kMaxTrashNameLength)
        return std::string(cutAtCharacter(name, kMaxTrashNameLength - counter.size())) + counter;
    const std::size_t room = kMaxTrashNameLength - extension.size() - counter.size();
    return std::string(cutAtCharacter(stem, room)) + counter + std::string(extension);
}
