// SPDX-License-Identifier: GPL-3.0-or-later
// Prints N report-like lines into a PDF through the line printer and reports the time and peak memory.
// Every second line is wider than the body, so half of them wrap.
#include "platform/LocaleSettings.h"
#include "platform/QtPrinterDevice.h"
#include "print/TLinePrinter.h"

#include <QApplication>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long count = argc > 1 ? std::atol(argv[1]) : 100000;

    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("bench.pdf")));
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setResolution(300);

    QtPrinterDevice device(printer);
    TLinePrinter lp(device, LocaleSettings::usEnglish());
    lp.setMarginTop(1);
    lp.setMarginBottom(1);
    lp.setMarginLeft(0.5f);
    lp.setMarginRight(1);
    lp.setTitle("Lintwick Report");
    lp.setTableFormat("<5|>1.5");
    lp.setHeader("{$TITLE}|Page {$PAGE}");
    lp.setFooter("{$DATE}|{$TIME}");
    PrinterFont font = lp.font();
    font.name = "Courier";
    font.pixelsPerInch = 96;
    font.height = 15;
    lp.setFont(font);

    const std::string shortPath = "/home/ann/Downloads/holiday/IMG_";
    const std::string longPath =
        "/home/ann/Projects/archive/2019/customer-deliveries/final-versions/really-final/"
        "do-not-delete/backup copy of the backup/";

    const auto start = std::chrono::steady_clock::now();
    lp.beginDoc();
    for (long i = 0; i < count; ++i) {
        std::string row = "3/6/26 9:15:00 AM          1,024  ";
        row += (i % 2 == 0 ? shortPath : longPath) + std::to_string(i) + ".tmp";
        lp.writeLine(row);
    }
    lp.endDoc();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("lines %ld  pages %d  time %.2f s  cpu %.2f s  peak RSS %.1f MB  PDF %.1f MB\n", count,
                device.pageNumber(), seconds, cpu, usage.ru_maxrss / 1024.0,
                QFileInfo(dir.filePath(QStringLiteral("bench.pdf"))).size() / (1024.0 * 1024.0));
    return 0;
}
