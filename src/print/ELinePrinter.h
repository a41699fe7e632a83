// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/EPrinter.h"

// The line printer's own refusals and failures, each with a fixed English message.
class ELinePrinter : public EPrinter
{
public:
    using EPrinter::EPrinter;
};
