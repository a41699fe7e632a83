// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PrinterFont.h"

#include <string>
#include <string_view>

enum class TPrinterOrientation
{
    poPortrait = 0,
    poLandscape = 1,
};

struct PixelSize
{
    int width = 0;
    int height = 0;
};

struct PixelPoint
{
    int x = 0;
    int y = 0;
};

struct PrinterTextMetrics
{
    int cellHeight = 0;
    int externalLeading = 0;
};

// The process's printer: one object per process, created by the application and handed by reference
// to every line printer, which therefore share its title, orientation and canvas font.
//
// Canvas coordinates are device pixels with the origin at the top-left corner of the printable area.
// Texts are UTF-8. Whatever needs the device (resolution, sizes, orientation, measuring, drawing)
// raises EPrinter when no printer is installed; beginDoc raises it while a document is in progress,
// newPage and endDoc while none is. Title and font can always be read and written.
class PrinterDevice
{
public:
    virtual ~PrinterDevice() = default;

    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;
    virtual PixelSize physicalPageSize() const = 0;
    // The unprintable margin at the left and top of the sheet.
    virtual PixelPoint physicalOffset() const = 0;
    virtual PixelSize pageSize() const = 0;

    virtual std::string title() const = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual TPrinterOrientation orientation() const = 0;
    virtual void setOrientation(TPrinterOrientation orientation) = 0;

    virtual bool printing() const = 0;
    // 1 after beginDoc, one more after each newPage.
    virtual int pageNumber() const = 0;
    virtual void beginDoc() = 0;
    virtual void newPage() = 0;
    virtual void endDoc() = 0;
    // Drops the document in progress so that the next beginDoc can start; does nothing when none is.
    virtual void abortDoc() = 0;

    virtual PrinterFont font() const = 0;
    virtual void setFont(const PrinterFont& font) = 0;
    // (x, y) is the top-left corner of the text cell.
    virtual void textOut(int x, int y, std::string_view text) = 0;
    virtual int textWidth(std::string_view text) = 0;
    virtual int textHeight(std::string_view text) = 0;
    virtual PrinterTextMetrics textMetrics() = 0;
    virtual void setPenWidth(int pixels) = 0;
    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;
};
