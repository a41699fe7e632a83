// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

// A colour of a widget property: either a fixed colour or a system colour that follows the palette
// (clHighlight is the palette's Highlight role, so a theme change recolours the widget).
class OvcColor
{
public:
    OvcColor() = default;
    OvcColor(const QColor& color) : m_color(color) {}
    OvcColor(Qt::GlobalColor color) : m_color(color) {}
    static OvcColor Role(QPalette::ColorRole role)
    {
        OvcColor c;
        c.m_role = role;
        return c;
    }

    bool IsSystemColor() const { return m_role >= 0; }
    QColor Resolve(const QPalette& palette) const
    {
        return m_role >= 0 ? palette.color(QPalette::Active, static_cast<QPalette::ColorRole>(m_role))
                           : m_color;
    }

    friend bool operator==(const OvcColor& a, const OvcColor& b)
    {
        return a.m_role == b.m_role && (a.m_role >= 0 || a.m_color == b.m_color);
    }

private:
    QColor m_color = Qt::black;
    int m_role = -1;
};

inline const OvcColor clBlack = OvcColor(Qt::black);
inline const OvcColor clWhite = OvcColor(Qt::white);
inline const OvcColor clRed = OvcColor(Qt::red);
inline const OvcColor clBtnFace = OvcColor::Role(QPalette::Button);
inline const OvcColor clBtnText = OvcColor::Role(QPalette::ButtonText);
inline const OvcColor clBtnHighlight = OvcColor::Role(QPalette::Light);
inline const OvcColor clBtnShadow = OvcColor::Role(QPalette::Mid);
inline const OvcColor clHighlight = OvcColor::Role(QPalette::Highlight);
inline const OvcColor clHighlightText = OvcColor::Role(QPalette::HighlightedText);
inline const OvcColor clWindow = OvcColor::Role(QPalette::Base);
inline const OvcColor clWindowText = OvcColor::Role(QPalette::Text);
