// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "print/ProgressWindow.h"

class PrintDialog;
class PrinterDevice;

// What a window needs to print: the process's one printer, its print dialog and where progress
// windows come from (none when empty). The caller owns the printer and the dialog.
struct PrintServices
{
    PrinterDevice& printer;
    PrintDialog& dialog;
    ProgressWindowFactory progressWindows;
};
