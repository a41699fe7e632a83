// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <functional>

// The viewer's font, which is always of a fixed-pitch family. Starts with the desktop's fixed-pitch
// font; "Courier" and "Courier New" stand for that font too.
class TOvcFixedFont
{
public:
    explicit TOvcFixedFont(std::function<void()> onChange = {});

    const QFont& Font() const { return m_font; }
    QString Name() const { return m_font.family(); }
    // A family that is not fixed-pitch is ignored.
    void SetName(const QString& name);
    int Size() const { return m_font.pointSize(); }
    void SetSize(int points);
    bool Bold() const { return m_font.bold(); }
    void SetBold(bool bold);
    bool Italic() const { return m_font.italic(); }
    void SetItalic(bool italic);
    // Invalid (the default) means the palette's text colour.
    const QColor& Color() const { return m_color; }
    void SetColor(const QColor& color);

    void Assign(const TOvcFixedFont& other);
    // Throws EInvalidFixedFont when font is not of a fixed-pitch family.
    void Assign(const QFont& font);

    void SetOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

    // True when every character of font takes the same width.
    static bool IsFixedPitch(const QFont& font);

private:
    void Changed();

    QFont m_font;
    QColor m_color; // invalid: the palette's text colour
    std::function<void()> m_onChange;
};
