// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LocaleSettings.h"
#include "platform/PrinterFont.h"
#include "print/PrintServices.h"
#include "print/TLinePrinter.h"

#include <functional>
#include <string>

class MessageBoxes;

// The lines a job prints, in the font they are printed in.
struct PrintDocument
{
    PrinterFont font;
    int lineCount = 0;
    std::function<std::string(int line)> line; // line 0 ... lineCount - 1
};

// The report's font: the result list's, "Courier" 15 pixels high at 96 pixels per inch.
PrinterFont ReportPrintFont();
// The audit log's font: the audit viewer's, "Courier" at 10 points.
PrinterFont AuditPrintFont();

// A print job of a window: its own line printer on the process's printer, carrying the settings of
// the window's form (margins of 1, 1, 0.5 and 1 inch, a progress window, the title "Veltrace Report"),
// and a run that asks the print dialog first and reports how it ended.
class PrintJob
{
public:
    enum class Result
    {
        Cancelled, // the dialog was cancelled: nothing printed, nothing to report
        Printed,
        Failed, // "Error while printing." was shown; the document was dropped, nothing of it printed
    };

    PrintJob(const PrintServices& services, MessageBoxes& messages, LocaleSettings locale);

    // Shows the print dialog and, when it is confirmed, prints the document with the job's header
    // ("{$TITLE}|Page {$PAGE}"), footer ("{$DATE}|{$TIME}") and columns ("<5|>1.5"). Any error of the
    // run ends it: the document is aborted, so that the next print can begin, and an error box says
    // "Error while printing.".
    Result Print(const PrintDocument& document);

    // The status bar text after a run: "Print Successful", "Printing Error", nothing when cancelled.
    static std::string StatusText(Result result);

    TLinePrinter& linePrinter() { return m_linePrinter; }

private:
    void ApplySettings(const PrinterFont& font);

    PrintDialog& m_dialog;
    MessageBoxes& m_messages;
    TLinePrinter m_linePrinter;
};
