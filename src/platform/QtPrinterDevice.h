// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PrintSpool.h"
#include "platform/PrinterDevice.h"

#include <QFont>
#include <QPoint>

#include <functional>
#include <memory>
#include <optional>

class QFontMetrics;
class QPainter;
class QPrinter;

// The printer device on a QPrinter: a CUPS printer or a PDF file, whatever the print dialog chose.
// Resolution, sheet and printable area come from the QPrinter; the page number is counted here. A
// QPainter is open on the printer from beginDoc to endDoc or abortDoc.
//
// A document is all or nothing. While it is drawn the QPrinter writes into a nameless spool file (see
// PrintSpool); only endDoc hands it on: renamed over the output file, or, when the printer has no
// output file, submitted to its print queue whole. abortDoc and a failed endDoc leave no file and
// send nothing. The output file name is read with TextToFileName, so a name that is not UTF-8 comes
// through byte for byte.
//
// "Courier" and "Courier New" stand for the desktop's fixed-pitch font, "MS Sans Serif" for its
// general font. Needs a QGuiApplication. The QPrinter is not owned and must outlive the device.
class QtPrinterDevice : public PrinterDevice
{
public:
    // Takes a finished document for the printer's print queue: the PDF file, the printer, the title;
    // false with a reason when the queue refused it. The file is the spool's name under /proc, valid
    // for the call only.
    using QueueSubmitter = std::function<bool(const std::string& pdfFile, QPrinter& printer,
                                              const std::string& title, std::string& error)>;

    // The submitter defaults to the printer's CUPS queue.
    explicit QtPrinterDevice(QPrinter& printer, QueueSubmitter submitter = {});
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
    // Ends the painter and points the printer at its own output file again; true when the painter ended well.
    bool closeSpool();
    void setOutputFile(const QString& fileName);

    QPrinter& m_printer;
    QueueSubmitter m_submitter;
    PrintSpool m_spool;
    QString m_outputFileName; // the printer's own, while the spool stands in for it
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
