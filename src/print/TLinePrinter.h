// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LocaleSettings.h"
#include "platform/PrinterDevice.h"
#include "print/LinePrinterTypes.h"
#include "print/ProgressWindow.h"

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TLinePrinter;

using TNotifyEvent = std::function<void(TLinePrinter& sender)>;

// Prints plain text line by line on the process's printer: margins in inches or millimetres, word wrap,
// tab expansion, alignment, header and footer rows in TableFormat columns with macros, page borders,
// events, and an optional progress window.
//
// Lengths (margins, BorderOffset, DefaultColWidth, column widths) are in MeasureUnit and measured on
// the sheet from its edges. Font, Title and Orientation are not kept here: they are the printer device's,
// so every line printer on the same device shares them. Without a printer the geometry falls back to a
// letter sheet at 300 dpi with a quarter inch unprintable at each edge.
//
// Refusals and run failures raise ELinePrinter with fixed English messages. The printer is not owned
// and must outlive this object; so must nothing else: the progress window, when there is one, is owned.
class TLinePrinter
{
    enum class Axis
    {
        X,
        Y,
    };

public:
    // The clock gives the local time for "{$DATE}" and "{$TIME}".
    using Clock = std::function<std::tm()>;

    TLinePrinter(PrinterDevice& printer, LocaleSettings locale, ProgressWindowFactory progressWindows = {});
    ~TLinePrinter();
    TLinePrinter(const TLinePrinter&) = delete;
    TLinePrinter& operator=(const TLinePrinter&) = delete;

    // Margins are clamped into what the sheet allows, each on its own; refused while printing.
    float marginTop() const { return m_marginTop; }
    void setMarginTop(float value);
    float marginBottom() const { return m_marginBottom; }
    void setMarginBottom(float value);
    float marginLeft() const { return m_marginLeft; }
    void setMarginLeft(float value);
    float marginRight() const { return m_marginRight; }
    void setMarginRight(float value);

    // Converts the margins, BorderOffset and DefaultColWidth to the new unit, then re-clamps the
    // margins. A change is refused while printing, before anything is converted.
    TMeasureUnit measureUnit() const { return m_measureUnit; }
    void setMeasureUnit(TMeasureUnit unit);

    TLineSpacing lineSpacing() const { return m_lineSpacing; }
    void setLineSpacing(TLineSpacing spacing);
    // Pixels from one body line to the next.
    int lineHeight() const { return m_lineHeight; }

    unsigned tabSize() const { return m_tabSize; }
    void setTabSize(unsigned size) { m_tabSize = size; }
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool wrap) { m_wordWrap = wrap; }
    const std::vector<std::string>& lines() const { return m_lines; }
    void setLines(const std::vector<std::string>& lines) { m_lines = lines; }
    TAlignment alignment() const { return m_alignment; }
    void setAlignment(TAlignment alignment) { m_alignment = alignment; }
    const std::string& header() const { return m_header; }
    void setHeader(const std::string& header) { m_header = header; }
    const std::string& footer() const { return m_footer; }
    void setFooter(const std::string& footer) { m_footer = footer; }
    TPageBorders pageBorders() const { return m_pageBorders; }
    void setPageBorders(TPageBorders borders) { m_pageBorders = borders; }
    bool showProgress() const { return m_showProgress; }
    void setShowProgress(bool show) { m_showProgress = show; }

    // The printer's canvas font. Assigning carries the point size over to the printer's resolution
    // and recomputes the line height.
    PrinterFont font() const { return m_printer.font(); }
    void setFont(const PrinterFont& font);
    // Portrait when there is no printer; assigning without a printer is dropped.
    TPrinterOrientation orientation() const;
    void setOrientation(TPrinterOrientation orientation);
    std::string title() const { return m_printer.title(); }
    void setTitle(const std::string& title);

    const std::string& tableFormat() const { return m_tableFormat; }
    void setTableFormat(const std::string& format) { m_tableFormat = format; }
    bool linesAsTable() const { return m_linesAsTable; }
    void setLinesAsTable(bool asTable) { m_linesAsTable = asTable; }
    // Below 0 stores 0 and raises.
    float defaultColWidth() const { return m_defaultColWidth; }
    void setDefaultColWidth(float width);
    float borderOffset() const { return m_borderOffset; }
    void setBorderOffset(float offset) { m_borderOffset = offset; }

    void setOnBeginDoc(TNotifyEvent handler) { m_onBeginDoc = std::move(handler); }
    void setOnEndDoc(TNotifyEvent handler) { m_onEndDoc = std::move(handler); }
    // Kept with the component; no run raises it.
    void setOnAbortDoc(TNotifyEvent handler) { m_onAbortDoc = std::move(handler); }
    void setOnNewLine(TNotifyEvent handler) { m_onNewLine = std::move(handler); }
    void setOnNewPage(TNotifyEvent handler) { m_onNewPage = std::move(handler); }

    void setClock(Clock clock) { m_clock = std::move(clock); }

    // Lengths in MeasureUnit to whole printer pixels, halves to even; 300 dpi without a printer.
    int unitsToPixelsX(float value) const { return unitsToPixels(value, Axis::X); }
    int unitsToPixelsY(float value) const { return unitsToPixels(value, Axis::Y); }
    float pixelsToUnitsX(int pixels) const { return pixelsToUnits(pixels, Axis::X); }
    float pixelsToUnitsY(int pixels) const { return pixelsToUnits(pixels, Axis::Y); }

    // The margins as distances in pixels from the edges of the printable area, and the body between them.
    int topPx() const;
    int bottomPx() const;
    int leftPx() const;
    int rightPx() const;
    int bodyWidth() const;
    int bodyHeight() const;

    bool printing() const { return m_printer.printing(); }
    int pageNumber() const { return m_printer.pageNumber(); }
    int lineNumber() const { return m_lineNumber; }
    int currentX() const { return m_currentX; }
    int currentY() const { return m_currentY; }

    // Starts a document and its first page; "Unable to begin printing." without a printer or while a
    // document is in progress.
    void beginDoc();
    // Prints one body line, wrapped or cut to the body width, and advances.
    void writeLine(std::string_view text);
    // Advances one line, beginning the next page when no line fits below; returns LineNumber.
    int newLine();
    // Ends the page and starts the next; "Unable to print a new page." without a document.
    int newPage();
    // "Unable to finish printing." without a document; the progress window then stays.
    void endDoc();
    // Drops a document this line printer began (after a failure half-way) so that the next beginDoc
    // can start, and closes the progress window. Does nothing when no document of ours is open.
    void abortDoc();
    // Prints the cells of a "|"-separated row in the TableFormat columns at the current line.
    void writeTableLine(std::string_view row);

    std::string expandTabs(std::string_view text) const;
    // The longest prefix whose width is at most maxWidth, never less than one character; the text
    // unchanged when it cannot be measured.
    std::string fitText(std::string_view text, int maxWidth);

private:
    int dpi(Axis axis) const;
    int unitsToPixels(float value, Axis axis) const;
    float pixelsToUnits(int pixels, Axis axis) const;
    // A length the device gives in pixels, or the letter-sheet value when there is no printer.
    float deviceLength(Axis axis, const std::function<int()>& pixels, float inches, float millimetres) const;
    float minTop() const;
    float minLeft() const;
    float minBottom() const;
    float minRight() const;
    float physicalHeight() const;
    float physicalWidth() const;
    float pageHeight() const;
    float pageWidth() const;
    void refuseWhilePrinting(const char* message) const;
    void rebaseFont();
    int measure(std::string_view text);
    void wrapLine(std::string_view text);
    void printBodyLine(const std::string& text, int width);
    void startPage();
    void drawBorders();
    void drawRule(int x1, int y1, int x2, int y2);
    void updateProgress(const std::string& status);
    void closeProgress();
    void printTableRow(std::string_view row);
    std::string macroText(std::string_view cell);
    static void raise(const TNotifyEvent& event, TLinePrinter& sender);

    PrinterDevice& m_printer;
    LocaleSettings m_locale;
    ProgressWindowFactory m_progressWindows;
    std::unique_ptr<ProgressWindow> m_progress;
    Clock m_clock;

    float m_marginTop = 0;
    float m_marginBottom = 0;
    float m_marginLeft = 0;
    float m_marginRight = 0;
    TMeasureUnit m_measureUnit = TMeasureUnit::muInches;
    TLineSpacing m_lineSpacing = TLineSpacing::lsSingleSpace;
    unsigned m_tabSize = 8;
    bool m_wordWrap = true;
    std::vector<std::string> m_lines;
    TAlignment m_alignment = TAlignment::taLeftJustify;
    std::string m_header;
    std::string m_footer;
    TPageBorders m_pageBorders;
    bool m_showProgress = false;
    std::string m_tableFormat;
    bool m_linesAsTable = false;
    float m_defaultColWidth = 0;
    float m_borderOffset = 0;

    TNotifyEvent m_onBeginDoc;
    TNotifyEvent m_onEndDoc;
    TNotifyEvent m_onAbortDoc;
    TNotifyEvent m_onNewLine;
    TNotifyEvent m_onNewPage;

    PrinterTextMetrics m_textMetrics;
    int m_lineNumber = 0;
    int m_currentX = 0;
    int m_currentY = 0;
    int m_lineHeight = 0;
    bool m_documentOpen = false;
};
