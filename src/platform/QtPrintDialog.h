// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PrintDialog.h"

class QPrinter;

// QPrintDialog on the program's QPrinter, over the active window. Page ranges, the selection, the
// current page and the reverse order are not offered: the line printer prints whole documents, first
// page first. The QPrinter is not owned.
class QtPrintDialog : public PrintDialog
{
public:
    explicit QtPrintDialog(QPrinter& printer) : m_printer(printer) {}

    bool Execute() override;

private:
    QPrinter& m_printer;
};
