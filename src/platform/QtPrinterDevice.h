// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PrinterDevice.h"

#include <QFont>
#include <QPoint>

#include <memory>
#include <optional>

class QFontMetrics;
class QPainter;
class QPrinter;

// The printer device on a QPrinter: a CUPS printer or a PDF file, whatever the print dialog chose.
// Resolution, sheet and printable area come from the QPrinter; the page number is counted here. A
// QPainter is open on the printer from beginDoc to endDoc or abortDoc.
//
// "Courier" and "Courier New" stand for the desktop's fixed-pitch font, "MS Sans Serif" for its
// general font. Needs a QGuiApplication. The QPrinter is not owned and must outlive the device.
class QtPrinterDevice : public PrinterDevice
{
public:
    explicit QtPrinterDevice(QPrinter& printer);
    ~QtPrinterDevice() override;

    int dpiX() const override;
    int dpiY() const override;
    PixelSize physicalPageSize() const override;
    PixelPoint physicalOffset() const override;
    PixelSize pageSize() const override;

    std::string title() const override { return m_title; }
    void setTitle(const std::string& title) override { m_title = title; }
    TPrinterOrientation orientation() const override;
    void setOrientation(TPrinterOrientation orientation) override;

    bool printing() const override { return m_painter != nullptr; }
    int pageNumber() const override { return m_pageNumber; }
    void beginDoc() override;
    void newPage() override;
    void endDoc() override;
    void abortDoc() override;

    PrinterFont font() const override { return m_font; }
    void setFont(const PrinterFont& font) override;
    void textOut(int x, int y, std::string_view text) override;
    int textWidth(std::string_view text) override;
    int textHeight(std::string_view text) override;
    PrinterTextMetrics textMetrics() override;
    void setPenWidth(int pixels) override { m_penWidth = pixels; }
    void moveTo(int x, int y) override { m_pen = QPoint(x, y); }
    void lineTo(int x, int y) override;

    // The advance of every printable ASCII character when the font is fixed-pitch, else 0; such text is
    // measured without shaping.
    qreal fixedAdvance() const { return m_fixedAdvance; }

    // The Qt font that stands for a canvas font.
    static QFont toQFont(const PrinterFont& font);

private:
    void requireDevice() const;
    void requireDocument() const;
    const QFontMetrics& metrics();
    void fontChanged();

    QPrinter& m_printer;
    std::unique_ptr<QPainter> m_painter;
    std::string m_title;
    PrinterFont m_font;
    QFont m_qfont;
    std::unique_ptr<QFontMetrics> m_metrics;
    qreal m_fixedAdvance = 0;
    int m_pageNumber = 0;
    int m_penWidth = 1;
    QPoint m_pen;
};
