// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TOvcColors.h"

TOvcColors::TOvcColors(const OvcColor& defaultBack, const OvcColor& defaultText,
                       std::function<void()> onChange)
    : m_back(defaultBack), m_text(defaultText), m_defaultBack(defaultBack), m_defaultText(defaultText),
      m_onChange(std::move(onChange))
{}

void TOvcColors::SetBackColor(const OvcColor& color)
{
    SetColors(color, m_text);
}

void TOvcColors::SetTextColor(const OvcColor& color)
{
    SetColors(m_back, color);
}

void TOvcColors::SetColors(const OvcColor& back, const OvcColor& text)
{
    if (back == m_back && text == m_text)
        return;
    m_back = back;
    m_text = text;
    m_useDefault = m_back == m_defaultBack && m_text == m_defaultText;
    Changed();
}

void TOvcColors::SetUseDefault(bool useDefault)
{
    if (useDefault)
        SetColors(m_defaultBack, m_defaultText);
    else
        m_useDefault = false;
}

void TOvcColors::Changed()
{
    if (m_onChange)
        m_onChange();
}
