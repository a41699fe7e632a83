// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "print/LinePrinterTypes.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The text forms of the line printer's table rows: column specs, cells and macros.

struct TableColumn
{
    TAlignment alignment = TAlignment::taLeftJustify;
    float width = 0; // in the line printer's MeasureUnit
};

// Splits at every "|": a text ending in "|" has an empty last part, an empty text is one empty part.
std::vector<std::string> splitAtBars(std::string_view text);

// One column spec: "<", ">" or "^" (left, right, centred) and a width; no marker means left and the
// whole spec is the width. The width is read with the locale's decimal separator, else with a point. An
// empty or non-numeric width is defaultWidth.
TableColumn parseColumnSpec(std::string_view spec, float defaultWidth, std::string_view decimalSeparator);

// The columns of a TableFormat, left to right. An empty format is one left column defaultWidth wide.
std::vector<TableColumn> parseTableFormat(std::string_view format, float defaultWidth,
                                          std::string_view decimalSeparator);

// A decimal number with the given decimal separator: optional blanks around it, an optional sign,
// digits with at most one separator, an optional exponent. Nothing for any other text.
std::optional<double> parseDecimal(std::string_view text, std::string_view decimalSeparator);

// Replaces every occurrence of each macro in turn, searching again from the start after each
// replacement. A macro whose own value contains it is left as it stands, which is what keeps a title
// such as "{$TITLE} list" from growing without end.
std::string replaceMacros(std::string text, const std::vector<std::pair<std::string, std::string>>& macros);
