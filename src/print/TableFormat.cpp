// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/TableFormat.h"

#include <charconv>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Copies a run of digits from text at pos into out; returns how many there were.
std::size_t takeDigits(std::string_view text, std::size_t& pos, std::string& out)
{
    const std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos]))
        out += text[pos++];
    return pos - start;
}

} // namespace

std::vector<std::string> splitAtBars(std::string_view text)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = text.find('|', start);
        if (bar == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, bar - start));
        start = bar + 1;
    }
}

std::optional<double> parseDecimal(std::string_view text, std::string_view decimalSeparator)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);

    // Rewritten into the C form so that the conversion does not depend on the process's C locale,
    // which Qt sets from the environment.
    std::string c;
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        if (text[pos] == '-')
            c += '-';
        ++pos;
    }
    std::size_t digits = takeDigits(text, pos, c);
    if (!decimalSeparator.empty() && text.substr(pos).starts_with(decimalSeparator)) {
        pos += decimalSeparator.size();
        c += '.';
        digits += takeDigits(text, pos, c);
    }
    if (digits == 0)
        return std::nullopt;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        c += 'e';
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            c += text[pos++];
        if (takeDigits(text, pos, c) == 0)
            return std::nullopt;
    }
    if (pos != text.size())
        return std::nullopt;

    double value = 0;
    const auto [end, ec] = std::from_chars(c.data(), c.data() + c.size(), value);
    if (ec != std::errc() || end != c.data() + c.size())
        return std::nullopt;
    return value;
}

TableColumn parseColumnSpec(std::string_view spec, float defaultWidth, std::string_view decimalSeparator)
{
    TableColumn column;
    if (!spec.empty()) {
        switch (spec.front()) {
        case '>':
            column.alignment = TAlignment::taRightJustify;
            spec.remove_prefix(1);
            break;
        case '^':
            column.alignment = TAlignment::taCenter;
            spec.remove_prefix(1);
            break;
        case '<':
            spec.remove_prefix(1);
            break;
        default:
            break;
        }
    }
    std::optional<double> width = parseDecimal(spec, decimalSeparator);
    // Formats written into the program ("<5|>1.5") use a point; in a locale with a decimal comma they
    // would otherwise collapse to the default width and cut the page number to one letter.
    if (!width && decimalSeparator != ".")
        width = parseDecimal(spec, ".");
    column.width = width ? static_cast<float>(*width) : defaultWidth;
    return column;
}

std::vector<TableColumn> parseTableFormat(std::string_view format, float defaultWidth,
                                          std::string_view decimalSeparator)
{
    std::vector<TableColumn> columns;
    for (const std::string& spec : splitAtBars(format))
        columns.push_back(parseColumnSpec(spec, defaultWidth, decimalSeparator));
    return columns;
}

std::string replaceMacros(std::string text, const std::vector<std::pair<std::string, std::string>>& macros)
{
    for (const auto& [macro, value] : macros) {
        if (macro.empty() || value.find(macro) != std::string::npos)
            continue;
        // A value can join with the text around it into a new occurrence, which the search from the
        // start then replaces as well; the bound only guards against a pathological pair that keeps
        // making new ones.
        std::size_t budget = text.size() + 1;
        for (std::size_t pos = text.find(macro); pos != std::string::npos && budget > 0;
             pos = text.find(macro), --budget)
            text.replace(pos, macro.size(), value);
    }
    return text;
}
