// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/CupsQueue.h"

#include <QPageLayout>
#include <QPrintEngine>
#include <QPrinter>

#include <cups/cups.h>

namespace {

// The print engine property under which Qt's print dialog keeps the options it set for CUPS, as
// name, value, name, value ...
constexpr auto kCupsOptionsProperty = QPrintEngine::PrintEnginePropertyKey(0xfe00);

} // namespace

std::vector<CupsOption> CupsJobOptions(const CupsJobSettings& settings)
{
    std::vector<CupsOption> options;
    if (!settings.media.empty())
        options.emplace_back("media", settings.media);
    if (settings.copies > 1) {
        options.emplace_back("copies", std::to_string(settings.copies));
        if (settings.collate)
            options.emplace_back("Collate", "True");
    }
    switch (settings.sides) {
    case CupsJobSettings::Sides::OneSided:
        options.emplace_back("sides", "one-sided");
        break;
    case CupsJobSettings::Sides::Auto:
        options.emplace_back("sides", settings.landscape ? "two-sided-short-edge" : "two-sided-long-edge");
        break;
    case CupsJobSettings::Sides::LongEdge:
        options.emplace_back("sides", "two-sided-long-edge");
        break;
    case CupsJobSettings::Sides::ShortEdge:
        options.emplace_back("sides", "two-sided-short-edge");
        break;
    }
    // The document is drawn on the sheet as it lies in the printer; the queue is told to turn it.
    if (settings.landscape)
        options.emplace_back("landscape", "");
    options.insert(options.end(), settings.dialogOptions.begin(), settings.dialogOptions.end());
    return options;
}

CupsJobSettings CupsJobSettingsOf(QPrinter& printer)
{
    CupsJobSettings settings;
    settings.printer = printer.printerName().toStdString();
    settings.media = printer.pageLayout().pageSize().key().toStdString();
    settings.copies = printer.copyCount();
    settings.collate = printer.collateCopies();
    settings.landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    switch (printer.duplex()) {
    case QPrinter::DuplexNone:
        settings.sides = CupsJobSettings::Sides::OneSided;
        break;
    case QPrinter::DuplexAuto:
        settings.sides = CupsJobSettings::Sides::Auto;
        break;
    case QPrinter::DuplexLongSide:
        settings.sides = CupsJobSettings::Sides::LongEdge;
        break;
    case QPrinter::DuplexShortSide:
        settings.sides = CupsJobSettings::Sides::ShortEdge;
        break;
    }
    if (QPrintEngine* engine = printer.printEngine()) {
        const QStringList pairs = engine->property(kCupsOptionsProperty).toStringList();
        for (qsizetype i = 0; i + 1 < pairs.size(); i += 2)
            settings.dialogOptions.emplace_back(pairs[i].toStdString(), pairs[i + 1].toStdString());
    }
    return settings;
}

bool SubmitToCups(const std::string& pdfFile, const CupsJobSettings& settings, const std::string& title,
                  std::string& error)
{
    const std::vector<CupsOption> options = CupsJobOptions(settings);
    std::vector<cups_option_t> cupsOptions;
    cupsOptions.reserve(options.size());
    for (const CupsOption& option : options)
        cupsOptions.push_back(
            {const_cast<char*>(option.first.c_str()), const_cast<char*>(option.second.c_str())});
    // A queue's instance ("queue/draft") chooses saved options; the job goes to the queue itself.
    const std::string queue = settings.printer.substr(0, settings.printer.find('/'));
    const int job =
        cupsPrintFile(queue.c_str(), pdfFile.c_str(), title.c_str(), static_cast<int>(cupsOptions.size()),
                      cupsOptions.empty() ? nullptr : cupsOptions.data());
    if (job == 0) {
        error = cupsLastErrorString();
        return false;
    }
    return true;
}
