// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PrinterDevice.h"

#include <string>
#include <vector>

// One thing a RecordingPrinter was asked to do while a document was open.
struct PrintRecord
{
    enum class Kind
    {
        BeginDoc,
        NewPage, // the page that begins; page holds its number
        EndDoc,
        AbortDoc,
        Text,
        Line,
    };
    Kind kind = Kind::Text;
    int page = 0;
    int x = 0; // Text: top-left of the cell; Line: start
    int y = 0;
    int x2 = 0; // Line: end
    int y2 = 0;
    int penWidth = 0;
    int fontHeight = 0;
    std::string text;
};

// A printer for tests with fixed metrics: 300 dpi both ways, a portrait letter sheet of 2550 x 3300
// pixels with an unprintable margin of 60 pixels at the left, 90 at the top, 90 at the right and 150 at
// the bottom (0.2, 0.3, 0.3 and 0.5 inch). Landscape swaps the axes. Its font is fixed-pitch: every
// character (UTF-8 sequence) is half the font's pixel height wide and the cell is the pixel height high.
//
// It can play "no printer installed" (setInstalled(false)); "a document already in progress" is what a
// test gets by calling beginDoc itself. setCanvasFails makes drawing and measuring raise EPrinter.
class RecordingPrinter : public PrinterDevice
{
public:
    RecordingPrinter();

    int dpiX() const override;
    int dpiY() const override;
    PixelSize physicalPageSize() const override;
    PixelPoint physicalOffset() const override;
    PixelSize pageSize() const override;

    std::string title() const override { return m_title; }
    void setTitle(const std::string& title) override { m_title = title; }
    TPrinterOrientation orientation() const override;
    void setOrientation(TPrinterOrientation orientation) override;

    bool printing() const override { return m_printing; }
    int pageNumber() const override { return m_pageNumber; }
    void beginDoc() override;
    void newPage() override;
    void endDoc() override;
    void abortDoc() override;

    PrinterFont font() const override { return m_font; }
    void setFont(const PrinterFont& font) override { m_font = font; }
    void textOut(int x, int y, std::string_view text) override;
    int textWidth(std::string_view text) override;
    int textHeight(std::string_view text) override;
    PrinterTextMetrics textMetrics() override;
    void setPenWidth(int pixels) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;

    void setInstalled(bool installed) { m_installed = installed; }
    void setCanvasFails(bool fails) { m_canvasFails = fails; }
    // endDoc raises and leaves the document in progress, as a spooler that refuses the job would.
    void setEndDocFails(bool fails) { m_endDocFails = fails; }
    void setExternalLeading(int pixels) { m_externalLeading = pixels; }
    int charWidth() const { return m_font.height / 2; }

    const std::vector<PrintRecord>& records() const { return m_records; }
    // The records of one kind, in the order they were made.
    std::vector<PrintRecord> recordsOf(PrintRecord::Kind kind) const;
    std::vector<PrintRecord> texts() const { return recordsOf(PrintRecord::Kind::Text); }
    std::vector<PrintRecord> lines() const { return recordsOf(PrintRecord::Kind::Line); }
    void clearRecords() { m_records.clear(); }

private:
    void requireDevice() const;
    void requireCanvas() const;
    PrintRecord& add(PrintRecord::Kind kind);

    bool m_installed = true;
    bool m_canvasFails = false;
    bool m_endDocFails = false;
    bool m_printing = false;
    int m_pageNumber = 0;
    int m_externalLeading = 0;
    int m_penWidth = 1;
    PixelPoint m_pen;
    TPrinterOrientation m_orientation = TPrinterOrientation::poPortrait;
    std::string m_title;
    PrinterFont m_font;
    std::vector<PrintRecord> m_records;
};
