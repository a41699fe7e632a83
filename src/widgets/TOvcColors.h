// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/OvcColor.h"

#include <functional>

// A background and text colour pair of a widget part (header, selected row, highlight). Every change
// calls the owner's notification, which repaints.
class TOvcColors
{
public:
    TOvcColors(const OvcColor& defaultBack, const OvcColor& defaultText, std::function<void()> onChange = {});

    const OvcColor& BackColor() const { return m_back; }
    const OvcColor& TextColor() const { return m_text; }
    void SetBackColor(const OvcColor& color);
    void SetTextColor(const OvcColor& color);
    void SetColors(const OvcColor& back, const OvcColor& text);

    // True while the pair is the owner's default; setting it true restores the default pair.
    bool UseDefault() const { return m_useDefault; }
    void SetUseDefault(bool useDefault);

    void SetOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

private:
    void Changed();

    OvcColor m_back;
    OvcColor m_text;
    OvcColor m_defaultBack;
    OvcColor m_defaultText;
    bool m_useDefault = true;
    std::function<void()> m_onChange;
};
