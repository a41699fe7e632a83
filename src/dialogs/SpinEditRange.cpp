// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/SpinEditRange.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

namespace {

bool ParseInteger(std::string_view text, int& value)
{
    const bool plus = !text.empty() && text.front() == '+';
    if (plus)
        text.remove_prefix(1);
    if (text.empty() || (plus && text.front() == '-'))
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

int SpinEditRange::ValueOf(std::string_view text) const
{
    int value = 0;
    return ParseInteger(text, value) ? value : MinValue;
}

int SpinEditRange::Clamped(int value) const
{
    if (MinValue == MaxValue)
        return value;
    return std::clamp(value, std::min(MinValue, MaxValue), std::max(MinValue, MaxValue));
}

std::string SpinEditRange::TextAfterFocusLoss(std::string_view text) const
{
    int value = 0;
    if (!ParseInteger(text, value))
        return std::string(text);
    return std::to_string(Clamped(value));
}

int SpinEditRange::Stepped(std::string_view text, int steps) const
{
    // 64-bit, so that stepping past the int range cannot overflow before the clamp.
    const std::int64_t next = static_cast<std::int64_t>(ValueOf(text)) + std::int64_t{steps} * Increment;
    const auto limited =
        std::clamp<std::int64_t>(next, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    return Clamped(static_cast<int>(limited));
}
