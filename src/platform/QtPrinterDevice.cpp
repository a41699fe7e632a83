// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtPrinterDevice.h"

#include "platform/CupsQueue.h"
#include "platform/EPrinter.h"
#include "platform/FileNameText.h"

#include <QColor>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPen>
#include <QPrintEngine>
#include <QPrinter>

#include <algorithm>
#include <cctype>

namespace {

bool isPrintableAscii(std::string_view text)
{
    for (char c : text)
        if (c < 32 || c > 126)
            return false;
    return true;
}

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QtPrinterDevice::QtPrinterDevice(QPrinter& printer, QueueSubmitter submitter)
    : m_printer(printer), m_submitter(std::move(submitter))
{
    if (!m_submitter) {
        m_submitter = [](const std::string& pdfFile, QPrinter& target, const std::string& title,
                         std::string& error) {
            return SubmitToCups(pdfFile, CupsJobSettingsOf(target), title, error);
        };
    }
    m_font.name = "Courier New";
    m_font.pixelsPerInch = std::max(1, m_printer.resolution());
    m_font.setSize(10);
    fontChanged();
}

QtPrinterDevice::~QtPrinterDevice()
{
    abortDoc();
}

QFont QtPrinterDevice::toQFont(const PrinterFont& font)
{
    QFont qfont;
    if (font.name == "Courier New" || font.name == "Courier") {
        qfont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        qfont.setStyleHint(QFont::TypeWriter);
    } else if (font.name == "MS Sans Serif" || font.name.empty()) {
        qfont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    } else {
        qfont = QFont(QString::fromStdString(font.name));
    }
    qfont.setPixelSize(std::max(1, font.height));
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    qfont.setStrikeOut(font.strikeOut);
    return qfont;
}

void QtPrinterDevice::requireDevice() const
{
    if (!m_printer.isValid())
        throw EPrinter("There is no default printer currently selected");
}

void QtPrinterDevice::requireDocument() const
{
    if (!m_painter)
        throw EPrinter("Printer is not currently printing");
}

int QtPrinterDevice::dpiX() const
{
    requireDevice();
    return m_printer.resolution();
}

int QtPrinterDevice::dpiY() const
{
    requireDevice();
    return m_printer.resolution();
}

PixelSize QtPrinterDevice::physicalPageSize() const
{
    requireDevice();
    const QRect paper = m_printer.paperRect(QPrinter::DevicePixel).toRect();
    return {paper.width(), paper.height()};
}

PixelPoint QtPrinterDevice::physicalOffset() const
{
    requireDevice();
    const QPointF offset = m_printer.pageRect(QPrinter::DevicePixel).topLeft() -
                           m_printer.paperRect(QPrinter::DevicePixel).topLeft();
    return {qRound(offset.x()), qRound(offset.y())};
}

PixelSize QtPrinterDevice::pageSize() const
{
    requireDevice();
    const QRect page = m_printer.pageRect(QPrinter::DevicePixel).toRect();
    return {page.width(), page.height()};
}

TPrinterOrientation QtPrinterDevice::orientation() const
{
    requireDevice();
    return m_printer.pageLayout().orientation() == QPageLayout::Landscape ? TPrinterOrientation::poLandscape
                                                                          : TPrinterOrientation::poPortrait;
}

void QtPrinterDevice::setOrientation(TPrinterOrientation orientation)
{
    requireDevice();
    m_printer.setPageOrientation(orientation == TPrinterOrientation::poLandscape ? QPageLayout::Landscape
                                                                                 : QPageLayout::Portrait);
}

void QtPrinterDevice::beginDoc()
{
    requireDevice();
    if (m_painter)
        throw EPrinter("Printing in progress");
    m_printer.setDocName(QString::fromStdString(m_title));
    m_outputFileName = m_printer.outputFileName();
    if (!m_spool.open(TextToFileName(m_outputFileName)))
        throw EPrinter("Unable to start the print job");
    setOutputFile(QString::fromLatin1(m_spool.path()));
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&m_printer)) {
        setOutputFile(m_outputFileName);
        m_spool.discard();
        throw EPrinter("Unable to start the print job");
    }
    m_painter = std::move(painter);
    m_painter->setFont(m_qfont);
    fontChanged();
    m_pageNumber = 1;
}

void QtPrinterDevice::newPage()
{
    requireDocument();
    if (!m_printer.newPage())
        throw EPrinter("Unable to start a new page");
    ++m_pageNumber;
}

bool QtPrinterDevice::closeSpool()
{
    const bool ended = m_painter->end();
    m_painter.reset();
    m_metrics.reset();
    setOutputFile(m_outputFileName);
    // Qt's PDF writer drops what it cannot write (a full disk) without a word and still ends well: a
    // document is whole only when it ends with the trailer the writer puts last.
    std::string tail = m_spool.tail(64);
    while (!tail.empty() && std::isspace(static_cast<unsigned char>(tail.back())))
        tail.pop_back();
    return ended && tail.ends_with("%%EOF");
}

void QtPrinterDevice::setOutputFile(const QString& fileName)
{
    // Set on the engine: QPrinter::setOutputFileName would change the output format by the name's
    // suffix, and a CUPS printer must stay one, writing its job into the spool instead of the queue.
    m_printer.printEngine()->setProperty(QPrintEngine::PPK_OutputFileName, fileName);
}

void QtPrinterDevice::endDoc()
{
    requireDocument();
    if (!closeSpool()) {
        m_spool.discard();
        throw EPrinter("Unable to finish the print job");
    }
    if (!m_spool.target().empty()) {
        if (!m_spool.commit())
            throw EPrinter("Unable to finish the print job");
        return;
    }
    std::string error;
    const bool queued = m_submitter(m_spool.path(), m_printer, m_title, error);
    m_spool.discard();
    if (!queued)
        throw EPrinter("Unable to finish the print job: " + error);
}

void QtPrinterDevice::abortDoc()
{
    if (!m_painter)
        return;
    closeSpool();
    m_spool.discard();
}

void QtPrinterDevice::setFont(const PrinterFont& font)
{
    m_font = font;
    m_qfont = toQFont(font);
    if (m_painter)
        m_painter->setFont(m_qfont);
    fontChanged();
}

void QtPrinterDevice::fontChanged()
{
    m_metrics.reset();
    m_fixedAdvance = 0;
    // Fontconfig does not always mark monospaced fonts as fixed-pitch, so the advances decide.
    const QFontMetricsF fm(m_qfont, &m_printer);
    const qreal advance = fm.horizontalAdvance(QLatin1Char('M'));
    if (advance > 0 && fm.horizontalAdvance(QLatin1Char('i')) == advance &&
        fm.horizontalAdvance(QLatin1Char(' ')) == advance &&
        fm.horizontalAdvance(QLatin1Char('W')) == advance)
        m_fixedAdvance = advance;
}

const QFontMetrics& QtPrinterDevice::metrics()
{
    // Measured against the printer, so that widths are in its pixels whether or not a document is open.
    if (!m_metrics)
        m_metrics = std::make_unique<QFontMetrics>(m_painter ? m_painter->fontMetrics()
                                                             : QFontMetrics(m_qfont, &m_printer));
    return *m_metrics;
}

void QtPrinterDevice::textOut(int x, int y, std::string_view text)
{
    requireDevice();
    requireDocument();
    m_painter->setPen(QColor(static_cast<QRgb>(m_font.color)));
    m_painter->drawText(QPoint(x, y + metrics().ascent()), fromUtf8(text));
}

int QtPrinterDevice::textWidth(std::string_view text)
{
    requireDevice();
    // Shaping a whole line costs far more than the line's layout; in a fixed-pitch font plain ASCII
    // text is simply as wide as its characters, which is what keeps wrapping long reports fast.
    if (m_fixedAdvance > 0 && isPrintableAscii(text))
        return qRound(m_fixedAdvance * static_cast<qreal>(text.size()));
    return metrics().horizontalAdvance(fromUtf8(text));
}

int QtPrinterDevice::textHeight(std::string_view)
{
    requireDevice();
    return metrics().height();
}

PrinterTextMetrics QtPrinterDevice::textMetrics()
{
    requireDevice();
    return {metrics().height(), std::max(0, metrics().leading())};
}

void QtPrinterDevice::lineTo(int x, int y)
{
    requireDevice();
    requireDocument();
    QPen pen(QColor(Qt::black));
    pen.setWidth(m_penWidth);
    m_painter->setPen(pen);
    m_painter->drawLine(m_pen, QPoint(x, y));
    m_pen = QPoint(x, y);
}
