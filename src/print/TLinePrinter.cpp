// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/TLinePrinter.h"

#include "platform/DateTimeFormat.h"
#include "platform/EPrinter.h"
#include "print/ELinePrinter.h"
#include "print/TableFormat.h"

#include <cmath>
#include <utility>

namespace {

constexpr double kInchesPerMillimetre = 0.03937007874015748;
constexpr double kMillimetresPerInch = 25.4;
constexpr int kFallbackDpi = 300;
constexpr int kFallbackLineHeight = 10;

bool isLeadByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

std::size_t charCount(std::string_view text)
{
    std::size_t n = 0;
    for (char c : text)
        if (isLeadByte(c))
            ++n;
    return n;
}

// Blanks and control characters: where a wrapped line may break.
bool isBreak(char c)
{
    return static_cast<unsigned char>(c) < 33;
}

int toPixels(double dots)
{
    // The default rounding mode rounds halves to even.
    return static_cast<int>(std::lrint(dots));
}

std::tm localNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

} // namespace

TLinePrinter::TLinePrinter(PrinterDevice& printer, LocaleSettings locale,
                           ProgressWindowFactory progressWindows)
    : m_printer(printer), m_locale(std::move(locale)), m_progressWindows(std::move(progressWindows)),
      m_clock(localNow)
{
    PrinterFont font = m_printer.font();
    font.name = "Courier New";
    font.bold = font.italic = font.underline = font.strikeOut = false;
    font.setSize(10);
    m_printer.setFont(font);

    setLineSpacing(TLineSpacing::lsSingleSpace);
    // Orientation and title belong to the shared printer; another component's document in progress
    // keeps them, and keeps this constructor from failing.
    if (!printing()) {
        setOrientation(TPrinterOrientation::poPortrait);
        setTitle("");
        setMarginTop(minTop());
        setMarginBottom(minBottom());
        setMarginLeft(minLeft());
        setMarginRight(minRight());
    } else {
        m_marginTop = minTop();
        m_marginBottom = minBottom();
        m_marginLeft = minLeft();
        m_marginRight = minRight();
    }
    setMeasureUnit(TMeasureUnit::muInches);
}

TLinePrinter::~TLinePrinter() = default;

// --- Units and geometry -------------------------------------------------------------------------

int TLinePrinter::dpi(Axis axis) const
{
    return axis == Axis::X ? m_printer.dpiX() : m_printer.dpiY();
}

int TLinePrinter::unitsToPixels(float value, Axis axis) const
{
    double v = value;
    if (m_measureUnit == TMeasureUnit::muMillimeters)
        v *= kInchesPerMillimetre;
    try {
        return toPixels(dpi(axis) * v);
    } catch (const EPrinter&) {
        return toPixels(v * kFallbackDpi);
    }
}

float TLinePrinter::pixelsToUnits(int pixels, Axis axis) const
{
    double u = pixels * (1.0 / kFallbackDpi);
    try {
        if (const int d = dpi(axis); d != 0)
            u = static_cast<double>(pixels) / d;
    } catch (const EPrinter&) {
    }
    if (m_measureUnit == TMeasureUnit::muMillimeters)
        u *= kMillimetresPerInch;
    return static_cast<float>(u);
}

float TLinePrinter::deviceLength(Axis axis, const std::function<int()>& pixels, float inches,
                                 float millimetres) const
{
    try {
        return pixelsToUnits(pixels(), axis);
    } catch (const EPrinter&) {
        return m_measureUnit == TMeasureUnit::muMillimeters ? millimetres : inches;
    }
}

float TLinePrinter::minTop() const
{
    return deviceLength(
        Axis::Y, [this] { return m_printer.physicalOffset().y; }, 0.25f, 6);
}

float TLinePrinter::minLeft() const
{
    return deviceLength(
        Axis::X, [this] { return m_printer.physicalOffset().x; }, 0.25f, 6);
}

float TLinePrinter::physicalHeight() const
{
    return deviceLength(
        Axis::Y, [this] { return m_printer.physicalPageSize().height; }, 11, 297);
}

float TLinePrinter::physicalWidth() const
{
    return deviceLength(
        Axis::X, [this] { return m_printer.physicalPageSize().width; }, 8.5f, 210);
}

float TLinePrinter::pageHeight() const
{
    return deviceLength(
        Axis::Y, [this] { return m_printer.pageSize().height; }, 10.5f, 284);
}

float TLinePrinter::pageWidth() const
{
    return deviceLength(
        Axis::X, [this] { return m_printer.pageSize().width; }, 8, 198);
}

float TLinePrinter::minBottom() const
{
    return physicalHeight() - pageHeight() - minTop();
}

float TLinePrinter::minRight() const
{
    return physicalWidth() - pageWidth() - minLeft();
}

int TLinePrinter::topPx() const
{
    return unitsToPixelsY(m_marginTop - minTop());
}

int TLinePrinter::bottomPx() const
{
    return unitsToPixelsY(m_marginBottom - minBottom());
}

int TLinePrinter::leftPx() const
{
    return unitsToPixelsX(m_marginLeft - minLeft());
}

int TLinePrinter::rightPx() const
{
    return unitsToPixelsX(m_marginRight - minRight());
}

int TLinePrinter::bodyWidth() const
{
    return unitsToPixelsX(pageWidth()) - leftPx() - rightPx();
}

int TLinePrinter::bodyHeight() const
{
    return unitsToPixelsY(pageHeight()) - topPx() - bottomPx();
}

// --- Properties ---------------------------------------------------------------------------------

void TLinePrinter::refuseWhilePrinting(const char* message) const
{
    if (printing())
        throw ELinePrinter(message);
}

namespace {

float clampMargin(float value, float lowest, float highest)
{
    if (std::isnan(value) || value < lowest)
        return lowest;
    if (value > highest)
        return highest;
    return value;
}

} // namespace

void TLinePrinter::setMarginTop(float value)
{
    refuseWhilePrinting("Unable to change top margin while printing");
    m_marginTop = clampMargin(value, minTop(), physicalHeight() - minBottom());
}

void TLinePrinter::setMarginBottom(float value)
{
    refuseWhilePrinting("Unable to change bottom margin while printing");
    m_marginBottom = clampMargin(value, minBottom(), physicalHeight() - minTop());
}

void TLinePrinter::setMarginLeft(float value)
{
    refuseWhilePrinting("Unable to change left margin while printing");
    m_marginLeft = clampMargin(value, minLeft(), physicalWidth() - minRight());
}

void TLinePrinter::setMarginRight(float value)
{
    refuseWhilePrinting("Unable to change right margin while printing");
    m_marginRight = clampMargin(value, minRight(), physicalWidth() - minLeft());
}

void TLinePrinter::setMeasureUnit(TMeasureUnit unit)
{
    const bool changed = unit != m_measureUnit;
    // Refused before the switch: switching first and then failing at the first margin would leave
    // lengths read in the wrong unit.
    if (changed)
        refuseWhilePrinting("Unable to change top margin while printing");
    m_measureUnit = unit;
    if (changed) {
        const double factor =
            unit == TMeasureUnit::muMillimeters ? kMillimetresPerInch : kInchesPerMillimetre;
        auto converted = [factor](float v) { return static_cast<float>(v * factor); };
        setMarginTop(converted(m_marginTop));
        setMarginBottom(converted(m_marginBottom));
        setMarginLeft(converted(m_marginLeft));
        setMarginRight(converted(m_marginRight));
        setBorderOffset(converted(m_borderOffset));
        setDefaultColWidth(converted(m_defaultColWidth));
    }
    if (!printing()) {
        setMarginTop(m_marginTop);
        setMarginBottom(m_marginBottom);
        setMarginLeft(m_marginLeft);
        setMarginRight(m_marginRight);
    }
}

void TLinePrinter::setLineSpacing(TLineSpacing spacing)
{
    m_lineSpacing = spacing;
    int base = kFallbackLineHeight;
    if (printing()) {
        base = m_textMetrics.cellHeight + m_textMetrics.externalLeading;
    } else {
        try {
            base = m_printer.textHeight("M");
        } catch (const EPrinter&) {
        }
    }
    switch (spacing) {
    case TLineSpacing::lsHalfSpace:
        m_lineHeight = base / 2;
        break;
    case TLineSpacing::lsSingleSpace:
        m_lineHeight = base;
        break;
    case TLineSpacing::lsSingleAndAHalf:
        m_lineHeight = base + base / 2;
        break;
    case TLineSpacing::lsDoubleSpace:
        m_lineHeight = 2 * base;
        break;
    }
}

void TLinePrinter::rebaseFont()
{
    const int dpi = m_printer.dpiY();
    PrinterFont font = m_printer.font();
    const int points = font.size();
    font.pixelsPerInch = dpi;
    font.setSize(points);
    m_printer.setFont(font);
}

void TLinePrinter::setFont(const PrinterFont& font)
{
    m_printer.setFont(font);
    // The point size, not the pixel height, is what carries over to the printer's resolution.
    PrinterFont canvas = m_printer.font();
    canvas.setSize(font.size());
    m_printer.setFont(canvas);
    try {
        rebaseFont();
        if (printing())
            m_textMetrics = m_printer.textMetrics();
    } catch (const EPrinter&) {
    }
    setLineSpacing(m_lineSpacing);
}

TPrinterOrientation TLinePrinter::orientation() const
{
    try {
        return m_printer.orientation();
    } catch (const EPrinter&) {
        return TPrinterOrientation::poPortrait;
    }
}

void TLinePrinter::setOrientation(TPrinterOrientation orientation)
{
    refuseWhilePrinting("Unable to change orientation while printing");
    try {
        m_printer.setOrientation(orientation);
    } catch (const EPrinter&) {
    }
}

void TLinePrinter::setTitle(const std::string& title)
{
    refuseWhilePrinting("Unable to change title while printing");
    m_printer.setTitle(title);
}

void TLinePrinter::setDefaultColWidth(float width)
{
    if (width < 0) {
        m_defaultColWidth = 0;
        throw ELinePrinter("DefaultColWidth must be greater than or equal to 0");
    }
    m_defaultColWidth = width;
}

// --- Document run -------------------------------------------------------------------------------

void TLinePrinter::raise(const TNotifyEvent& event, TLinePrinter& sender)
{
    if (event)
        event(sender);
}

void TLinePrinter::beginDoc()
{
    raise(m_onBeginDoc, *this);
    bool started = false;
    try {
        rebaseFont();
        m_printer.beginDoc();
        started = true;
        m_textMetrics = m_printer.textMetrics();
        rebaseFont();
    } catch (const EPrinter&) {
        // A document that began but could not be set up would block every later print.
        if (started)
            m_printer.abortDoc();
        throw ELinePrinter("Unable to begin printing.");
    }
    m_documentOpen = true;
    updateProgress("Preparing to Print");
    raise(m_onNewPage, *this);
    startPage();
}

void TLinePrinter::startPage()
{
    updateProgress("Currently Printing");
    const int top = topPx();
    const int bottom = bottomPx();
    // Each row is centred in its band. A band lower than a line cannot hold its row; the row then keeps
    // to the printable area rather than being cut at the paper's unprintable edge.
    if (!m_header.empty()) {
        const int rowTop = top < m_lineHeight ? 0 : (top - m_lineHeight) / 2;
        m_currentY = rowTop - top;
        printTableRow(m_header);
    }
    if (!m_footer.empty()) {
        const int offset = bottom < m_lineHeight ? bottom - m_lineHeight : (bottom - m_lineHeight) / 2;
        m_currentY = offset + bodyHeight();
        printTableRow(m_footer);
    }
    m_currentX = 0;
    m_currentY = 0;
    m_lineNumber = 0;
    raise(m_onNewLine, *this);
    drawBorders();
}

void TLinePrinter::drawRule(int x1, int y1, int x2, int y2)
{
    try {
        m_printer.moveTo(x1, y1);
        m_printer.lineTo(x2, y2);
    } catch (const EPrinter&) {
    }
}

void TLinePrinter::drawBorders()
{
    if (m_pageBorders.empty())
        return;
    int dpiX = 0;
    int dpiY = 0;
    try {
        dpiX = m_printer.dpiX();
        dpiY = m_printer.dpiY();
    } catch (const EPrinter&) {
        return;
    }
    const int left = leftPx();
    const int top = topPx();
    const int right = left + bodyWidth();
    const int bottom = top + bodyHeight();

    m_printer.setPenWidth((dpiY / 300) * 2);
    int off = unitsToPixelsY(m_borderOffset);
    if (m_pageBorders.contains(TPageBorderStyle::pbTop))
        drawRule(left - off, top - off, right + off, top - off);
    if (m_pageBorders.contains(TPageBorderStyle::pbBottom))
        drawRule(left - off, bottom + off, right + off, bottom + off);

    m_printer.setPenWidth((dpiX / 300) * 2);
    off = unitsToPixelsX(m_borderOffset);
    if (m_pageBorders.contains(TPageBorderStyle::pbLeft))
        drawRule(left - off, top - off, left - off, bottom + off);
    if (m_pageBorders.contains(TPageBorderStyle::pbRight))
        drawRule(right + off, top - off, right + off, bottom + off);
}

int TLinePrinter::measure(std::string_view text)
{
    try {
        return m_printer.textWidth(text);
    } catch (const EPrinter&) {
        return 0;
    }
}

void TLinePrinter::writeLine(std::string_view text)
{
    const std::string line = text.find('\t') != std::string_view::npos ? expandTabs(text) : std::string(text);
    const int width = measure(line);
    // A single character cannot be cut further; wrapping it again would never end, so it is printed
    // as it is even when the body is narrower.
    if (width > bodyWidth() && charCount(line) > 1) {
        if (m_wordWrap)
            wrapLine(line);
        else
            writeLine(fitText(line, bodyWidth()));
        return;
    }
    printBodyLine(line, width);
}

void TLinePrinter::printBodyLine(const std::string& text, int width)
{
    if (bodyHeight() <= m_currentY + m_lineHeight)
        newPage();
    switch (m_alignment) {
    case TAlignment::taLeftJustify:
        m_currentX = 0;
        break;
    case TAlignment::taRightJustify:
        m_currentX = bodyWidth() - width;
        break;
    case TAlignment::taCenter:
        m_currentX = (bodyWidth() - width) / 2;
        break;
    }
    if (!text.empty()) {
        try {
            m_printer.textOut(leftPx() + m_currentX, topPx() + m_currentY, text);
        } catch (const EPrinter&) {
        }
    }
    newLine();
}

void TLinePrinter::wrapLine(std::string_view text)
{
    std::string rest(text);
    while (!rest.empty()) {
        std::string piece = fitText(rest, bodyWidth());
        std::size_t n = piece.size();
        if (n < rest.size()) {
            if (!isBreak(rest[n])) {
                // The piece ends inside a word: break after its last blank, which stays on the line.
                for (std::size_t i = piece.size(); i > 0; --i) {
                    if (isBreak(piece[i - 1])) {
                        piece.resize(i);
                        n = i;
                        break;
                    }
                }
            } else {
                ++n;
            }
        }
        writeLine(piece);
        rest.erase(0, n);
    }
}

int TLinePrinter::newLine()
{
    raise(m_onNewLine, *this);
    m_currentY += m_lineHeight;
    if (bodyHeight() <= m_currentY + m_lineHeight)
        newPage();
    else
        ++m_lineNumber;
    return m_lineNumber;
}

int TLinePrinter::newPage()
{
    raise(m_onNewPage, *this);
    try {
        m_printer.newPage();
    } catch (const EPrinter&) {
        throw ELinePrinter("Unable to print a new page.");
    }
    startPage();
    return pageNumber();
}

void TLinePrinter::endDoc()
{
    updateProgress("Finished Printing");
    try {
        m_printer.endDoc();
    } catch (const EPrinter&) {
        throw ELinePrinter("Unable to finish printing.");
    }
    m_documentOpen = false;
    updateProgress("");
    raise(m_onEndDoc, *this);
}

void TLinePrinter::abortDoc()
{
    if (m_documentOpen && m_printer.printing())
        m_printer.abortDoc();
    m_documentOpen = false;
    closeProgress();
}

void TLinePrinter::writeTableLine(std::string_view row)
{
    printTableRow(row);
    if (0 <= m_currentY && m_currentY < bodyHeight())
        newLine();
}

void TLinePrinter::printTableRow(std::string_view row)
{
    const std::vector<TableColumn> columns =
        parseTableFormat(m_tableFormat, m_defaultColWidth, m_locale.decimalSeparator);
    const std::vector<std::string> cells = splitAtBars(row);
    const int y = topPx() + m_currentY;
    m_currentX = leftPx();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int columnWidth = unitsToPixelsX(columns[i].width);
        std::string text = i < cells.size() ? macroText(cells[i]) : std::string();
        text = fitText(text, columnWidth);
        int off = 0;
        if (columns[i].alignment == TAlignment::taRightJustify)
            off = columnWidth - measure(text);
        else if (columns[i].alignment == TAlignment::taCenter)
            off = (columnWidth - measure(text)) / 2;
        if (!text.empty()) {
            try {
                m_printer.textOut(m_currentX + off, y, text);
            } catch (const EPrinter&) {
            }
        }
        m_currentX += columnWidth;
    }
}

std::string TLinePrinter::macroText(std::string_view cell)
{
    if (cell.find("{$") == std::string_view::npos)
        return std::string(cell);
    const std::tm now = m_clock();
    return replaceMacros(
        std::string(cell),
        {
            {"{$LINE}", std::to_string(m_lineNumber)},
            {"{$PAGE}", std::to_string(pageNumber())},
            {"{$DATE}", FormatDateTime(m_locale.shortDateFormat, LocalDateTimeFromTm(now), m_locale)},
            {"{$TIME}", FormatDateTime(m_locale.longTimeFormat, LocalDateTimeFromTm(now), m_locale)},
            {"{$TITLE}", title()},
        });
}

std::string TLinePrinter::expandTabs(std::string_view text) const
{
    std::string out;
    std::size_t chars = 0;
    for (char c : text) {
        if (c == '\t') {
            // With no tab size a tab still keeps the words on either side apart.
            const std::size_t blanks = m_tabSize == 0 ? 1 : m_tabSize - chars % m_tabSize;
            out.append(blanks, ' ');
            chars += blanks;
        } else {
            out += c;
            if (isLeadByte(c))
                ++chars;
        }
    }
    return out;
}

std::string TLinePrinter::fitText(std::string_view text, int maxWidth)
{
    if (text.empty())
        return {};
    try {
        if (m_printer.textWidth(text) <= maxWidth)
            return std::string(text);
        // ends[k - 1] is the byte length of the first k characters, so a cut never splits a UTF-8
        // sequence.
        std::vector<std::size_t> ends;
        for (std::size_t i = 1; i < text.size(); ++i)
            if (isLeadByte(text[i]))
                ends.push_back(i);
        ends.push_back(text.size());

        int lo = 1;
        int hi = static_cast<int>(ends.size());
        int mid = 0;
        int prev = 0;
        do {
            prev = mid;
            mid = (lo + hi) / 2;
            const int w = m_printer.textWidth(text.substr(0, ends[mid - 1]));
            if (w > maxWidth)
                hi = mid;
            else if (w < maxWidth)
                lo = mid;
            else
                lo = hi;
        } while (mid != prev && hi > lo);
        return std::string(text.substr(0, ends[mid - 1]));
    } catch (const EPrinter&) {
        return std::string(text);
    }
}

// --- Progress window ----------------------------------------------------------------------------

void TLinePrinter::updateProgress(const std::string& status)
{
    if (!(m_showProgress && printing())) {
        closeProgress();
        return;
    }
    if (!m_progress && m_progressWindows)
        m_progress = m_progressWindows();
    if (!m_progress)
        return;
    if (!m_progress->progressVisible())
        m_progress->showProgress();
    if (!status.empty())
        m_progress->setProgressStatus(status);
    m_progress->setProgressTitle(title());
    m_progress->setProgressPageNumber(std::to_string(pageNumber()));
    if (m_progress->progressVisible())
        m_progress->repaintProgress();
}

void TLinePrinter::closeProgress()
{
    if (!m_progress)
        return;
    if (m_progress->progressVisible())
        m_progress->hideProgress();
    m_progress.reset();
}
