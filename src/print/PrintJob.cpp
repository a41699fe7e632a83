// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/PrintJob.h"

#include "platform/MessageBoxes.h"
#include "platform/PrintDialog.h"

PrinterFont ReportPrintFont()
{
    PrinterFont font;
    font.name = "Courier";
    font.pixelsPerInch = 96;
    font.height = 15;
    return font;
}

PrinterFont AuditPrintFont()
{
    PrinterFont font;
    font.name = "Courier";
    font.pixelsPerInch = 96;
    font.setSize(10);
    return font;
}

PrintJob::PrintJob(const PrintServices& services, MessageBoxes& messages, LocaleSettings locale)
    : m_dialog(services.dialog), m_messages(messages),
      m_linePrinter(services.printer, std::move(locale), services.progressWindows)
{}

void PrintJob::ApplySettings(const PrinterFont& font)
{
    // Every run sets everything: the title, font and orientation live in the printer object, which the
    // other window's job shares, and the margins were clamped to whatever sheet the last dialog chose.
    m_linePrinter.setMarginTop(1.0f);
    m_linePrinter.setMarginBottom(1.0f);
    m_linePrinter.setMarginLeft(0.5f);
    m_linePrinter.setMarginRight(1.0f);
    m_linePrinter.setShowProgress(true);
    m_linePrinter.setTitle("Veltrace Report");
    m_linePrinter.setFont(font);
    m_linePrinter.setTableFormat("<5|>1.5");
    m_linePrinter.setHeader("{$TITLE}|Page {$PAGE}");
    m_linePrinter.setFooter("{$DATE}|{$TIME}");
}

PrintJob::Result PrintJob::Print(const PrintDocument& document)
{
    if (!m_dialog.Execute())
        return Result::Cancelled;
    try {
        ApplySettings(document.font);
        m_linePrinter.beginDoc();
        for (int i = 0; i < document.lineCount; ++i)
            m_linePrinter.writeLine(document.line(i));
        m_linePrinter.endDoc();
        return Result::Printed;
    } catch (...) {
        m_linePrinter.abortDoc();
        m_messages.Error("Error while printing.");
        return Result::Failed;
    }
}

std::string PrintJob::StatusText(Result result)
{
    switch (result) {
    case Result::Printed:
        return "Print Successful";
    case Result::Failed:
        return "Printing Error";
    case Result::Cancelled:
        break;
    }
    return {};
}
