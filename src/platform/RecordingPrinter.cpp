// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RecordingPrinter.h"

#include "platform/EPrinter.h"

namespace {

constexpr int kDpi = 300;
constexpr PixelSize kSheet{2550, 3300};
constexpr PixelPoint kOffset{60, 90};
constexpr PixelSize kPrintable{2550 - 60 - 90, 3300 - 90 - 150};

int charCount(std::string_view text)
{
    int n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

} // namespace

RecordingPrinter::RecordingPrinter()
{
    m_font.pixelsPerInch = kDpi;
    m_font.setSize(10);
}

PrintRecord& RecordingPrinter::add(PrintRecord::Kind kind)
{
    PrintRecord& r = m_records.emplace_back();
    r.kind = kind;
    r.page = m_pageNumber;
    return r;
}

void RecordingPrinter::requireDevice() const
{
    if (!m_installed)
        throw EPrinter("There is no default printer currently selected");
}

void RecordingPrinter::requireCanvas() const
{
    requireDevice();
    if (m_canvasFails)
        throw EPrinter("Printer canvas failed");
}

int RecordingPrinter::dpiX() const
{
    requireDevice();
    return kDpi;
}

int RecordingPrinter::dpiY() const
{
    requireDevice();
    return kDpi;
}

PixelSize RecordingPrinter::physicalPageSize() const
{
    requireDevice();
    if (m_orientation == TPrinterOrientation::poLandscape)
        return {kSheet.height, kSheet.width};
    return kSheet;
}

PixelPoint RecordingPrinter::physicalOffset() const
{
    requireDevice();
    if (m_orientation == TPrinterOrientation::poLandscape)
        return {kOffset.y, kOffset.x};
    return kOffset;
}

PixelSize RecordingPrinter::pageSize() const
{
    requireDevice();
    if (m_orientation == TPrinterOrientation::poLandscape)
        return {kPrintable.height, kPrintable.width};
    return kPrintable;
}

TPrinterOrientation RecordingPrinter::orientation() const
{
    requireDevice();
    return m_orientation;
}

void RecordingPrinter::setOrientation(TPrinterOrientation orientation)
{
    requireDevice();
    m_orientation = orientation;
}

void RecordingPrinter::beginDoc()
{
    requireDevice();
    if (m_printing)
        throw EPrinter("Printing in progress");
    m_printing = true;
    m_pageNumber = 1;
    add(PrintRecord::Kind::BeginDoc);
}

void RecordingPrinter::newPage()
{
    if (!m_printing)
        throw EPrinter("Printer is not currently printing");
    ++m_pageNumber;
    add(PrintRecord::Kind::NewPage);
}

void RecordingPrinter::endDoc()
{
    if (!m_printing)
        throw EPrinter("Printer is not currently printing");
    if (m_endDocFails)
        throw EPrinter("The print job was refused");
    m_printing = false;
    add(PrintRecord::Kind::EndDoc);
}

void RecordingPrinter::abortDoc()
{
    if (!m_printing)
        return;
    m_printing = false;
    add(PrintRecord::Kind::AbortDoc);
}

void RecordingPrinter::textOut(int x, int y, std::string_view text)
{
    requireCanvas();
    PrintRecord& r = add(PrintRecord::Kind::Text);
    r.x = x;
    r.y = y;
    r.fontHeight = m_font.height;
    r.text = std::string(text);
}

int RecordingPrinter::textWidth(std::string_view text)
{
    requireCanvas();
    return charCount(text) * charWidth();
}

int RecordingPrinter::textHeight(std::string_view)
{
    requireCanvas();
    return m_font.height;
}

PrinterTextMetrics RecordingPrinter::textMetrics()
{
    requireCanvas();
    return {m_font.height, m_externalLeading};
}

void RecordingPrinter::setPenWidth(int pixels)
{
    m_penWidth = pixels;
}

void RecordingPrinter::moveTo(int x, int y)
{
    m_pen = {x, y};
}

void RecordingPrinter::lineTo(int x, int y)
{
    requireCanvas();
    PrintRecord& r = add(PrintRecord::Kind::Line);
    r.x = m_pen.x;
    r.y = m_pen.y;
    r.x2 = x;
    r.y2 = y;
    r.penWidth = m_penWidth;
    m_pen = {x, y};
}

std::vector<PrintRecord> RecordingPrinter::recordsOf(PrintRecord::Kind kind) const
{
    std::vector<PrintRecord> out;
    for (const PrintRecord& r : m_records)
        if (r.kind == kind)
            out.push_back(r);
    return out;
}
