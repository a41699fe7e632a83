// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TOvcFixedFont.h"

#include "widgets/EOvcException.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>

namespace {

bool IsDesktopFixedAlias(const QString& name)
{
    return name.compare(QLatin1String("Courier"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0;
}

} // namespace

bool TOvcFixedFont::IsFixedPitch(const QFont& font)
{
    if (QFontInfo(font).fixedPitch())
        return true;
    // Fontconfig does not mark every monospaced family as such (Noto Sans Mono is one), so measure.
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(QLatin1Char('W'));
    return width > 0 && metrics.horizontalAdvance(QLatin1Char('i')) == width &&
           metrics.horizontalAdvance(QLatin1Char('.')) == width;
}

TOvcFixedFont::TOvcFixedFont(std::function<void()> onChange)
    : m_font(QFontDatabase::systemFont(QFontDatabase::FixedFont)), m_onChange(std::move(onChange))
{
    m_font.setStyleHint(QFont::TypeWriter);
}

void TOvcFixedFont::SetName(const QString& name)
{
    QString family;
    if (IsDesktopFixedAlias(name)) {
        family = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    } else {
        // Only an installed family counts: Qt would silently substitute another for an unknown name.
        QFont candidate(m_font);
        candidate.setFamily(name);
        if (QFontInfo(candidate).family().compare(name, Qt::CaseInsensitive) != 0 || !IsFixedPitch(candidate))
            return;
        family = QFontInfo(candidate).family();
    }
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
    if (!IsFixedPitch(font))
        throw EInvalidFixedFont();
    m_font = font;
    Changed();
}

void TOvcFixedFont::Changed()
{
    if (m_onChange)
        m_onChange();
}
