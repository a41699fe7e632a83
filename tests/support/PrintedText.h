// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/RecordingPrinter.h"

#include <QProcess>
#include <QStringList>

#include <string>
#include <vector>

// The body lines a recording printer was given: every text but the four header and footer cells that
// each page starts with (title, page number, date, time).
inline std::vector<std::string> PrintedBody(const RecordingPrinter& printer)
{
    std::vector<std::string> body;
    int cellsToSkip = 0;
    for (const PrintRecord& record : printer.records()) {
        if (record.kind == PrintRecord::Kind::BeginDoc || record.kind == PrintRecord::Kind::NewPage)
            cellsToSkip = 4;
        else if (record.kind == PrintRecord::Kind::Text && cellsToSkip-- <= 0)
            body.push_back(record.text);
    }
    return body;
}

// The pages of a PDF as pdftotext lays them out; empty when it cannot be read.
inline QStringList PdfPages(const QString& path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}
