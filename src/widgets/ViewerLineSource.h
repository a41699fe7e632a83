// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

// Where the viewer's lines come from. Lines are bytes, usually UTF-8; a line stays valid until the
// next call.
class ViewerLineSource
{
public:
    virtual int LineCount() const = 0;
    // The line's bytes; empty outside 0 ... LineCount-1.
    virtual std::string_view Line(int line) = 0;

protected:
    ~ViewerLineSource() = default;
};
