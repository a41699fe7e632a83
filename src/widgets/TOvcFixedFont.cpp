// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TOvcFixedFont.h"

#include "widgets/EOvcException.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace {

bool IsDesktopFixedAlias(const QString& name)
{
    return name.compare(QLatin1String("Courier"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0;
}

} // namespace

TOvcFixedFont::TOvcFixedFont(std::function<void()> onChange)
    : m_font(QFontDatabase::systemFont(QFontDatabase::FixedFont)), m_onChange(std::move(onChange))
{
    m_font.setStyleHint(QFont::TypeWriter);
}

const QStringList& TOvcFixedFont::FixedFamilies()
{
    static const QStringList families = [] {
        QStringList fixed;
        for (const QString& family : QFontDatabase::families())
            if (QFontDatabase::isFixedPitch(family))
                fixed << family;
        return fixed;
    }();
    return families;
}

void TOvcFixedFont::SetName(const QString& name)
{
    QString family;
    if (IsDesktopFixedAlias(name))
        family = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    else if (FixedFamilies().contains(name, Qt::CaseInsensitive))
        family = name;
    else
        return;
    if (family == m_font.family())
        return;
    m_font.setFamily(family);
    Changed();
}

void TOvcFixedFont::SetSize(int points)
{
    if (points <= 0 || points == m_font.pointSize())
        return;
    m_font.setPointSize(points);
    Changed();
}

void TOvcFixedFont::SetBold(bool bold)
{
    m_font.setBold(bold);
    Changed();
}

void TOvcFixedFont::SetItalic(bool italic)
{
    m_font.setItalic(italic);
    Changed();
}

void TOvcFixedFont::SetColor(const QColor& color)
{
    if (color == m_color)
        return;
    m_color = color;
    Changed();
}

void TOvcFixedFont::Assign(const TOvcFixedFont& other)
{
    m_font = other.m_font;
    m_color = other.m_color;
    Changed();
}

void TOvcFixedFont::Assign(const QFont& font)
{
    if (!QFontInfo(font).fixedPitch())
        throw EInvalidFixedFont();
    m_font = font;
    Changed();
}

void TOvcFixedFont::Changed()
{
    if (m_onChange)
        m_onChange();
}
