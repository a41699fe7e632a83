// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// The viewer's grid of display columns over a line of bytes. Every character (one well-formed UTF-8
// sequence, or else one byte) takes one column; a tab, when tabs are expanded, advances to the next
// multiple of tabSize. Positions in a line stay byte offsets.

// Walks the characters of a line in order, with the columns each one covers.
class ViewerGridWalker
{
public:
    ViewerGridWalker(std::string_view line, int tabSize, bool expandTabs);

    bool AtEnd() const { return m_offset >= m_line.size(); }
    // Byte offset and length of the current character.
    int Offset() const { return static_cast<int>(m_offset); }
    int Length() const { return static_cast<int>(m_length); }
    // First column of the current character and how many columns it covers (more than one only for
    // an expanded tab).
    int Column() const { return m_column; }
    int Width() const { return m_width; }
    // The character; U+FFFD for a byte that starts no well-formed sequence.
    char32_t Code() const { return m_code; }
    void Next();

private:
    void Read();

    std::string_view m_line;
    int m_tabSize;
    bool m_expandTabs;
    std::size_t m_offset = 0;
    std::size_t m_length = 0;
    int m_column = 0;
    int m_width = 0;
    char32_t m_code = 0;
};

// The display column of byte offset offset (clamped to the line); an offset inside a character
// gives that character's column.
int DisplayColumn(std::string_view line, int offset, int tabSize, bool expandTabs);
// Byte offset of the character that covers display column column; the line length when the column
// lies past its end.
int CharAtColumn(std::string_view line, int column, int tabSize, bool expandTabs);
// Byte offset of the start of the character that holds byte offset offset (clamped to the line).
int CharStart(std::string_view line, int offset);
// Byte offset of the character after (direction 1) or before (direction -1) the one at offset,
// within 0 ... line length.
int NextCharOffset(std::string_view line, int offset, int direction);
// The line with its tabs replaced by blanks up to the next tab stop.
std::string ExpandTabStops(std::string_view line, int tabSize);
// The line as it is printed: tabs expanded whenever it holds one, control characters replaced by
// defaultChar, at most maxChars characters.
std::string PrintableLine(std::string_view line, int tabSize, int maxChars, char defaultChar);
