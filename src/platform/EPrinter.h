// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>

// Raised by a printer device when it cannot do what was asked: no printer installed, a document
// already in progress, no document to end, a canvas that failed to draw or measure.
class EPrinter : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
