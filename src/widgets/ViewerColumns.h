// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// Display columns of a viewer line: a tab advances to the next multiple of tabSize, every other byte
// takes one column.

// The display column of character offset charIndex (clamped to the line).
int DisplayColumn(std::string_view line, int charIndex, int tabSize, bool expandTabs);
// The character that covers display column column; the line length when the column lies past its end.
int CharAtColumn(std::string_view line, int column, int tabSize, bool expandTabs);
// The line with its tabs replaced by blanks up to the next tab stop.
std::string ExpandTabStops(std::string_view line, int tabSize);
