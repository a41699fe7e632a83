// SPDX-License-Identifier: GPL-3.0-or-later
// End to end: a report printed through the QPrinter device into a PDF file, read back with pdftotext.
#include "ExpectRefused.h"
#include "FixedClock.h"
#include "platform/FileNameText.h"
#include "platform/PrintSpool.h"
#include "platform/QtPrintDialog.h"
#include "platform/QtPrinterDevice.h"
#include "print/TLinePrinter.h"

#include "ChildProcess.h"
#include "PrintedText.h"
#include "TempTree.h"
#include "TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <fstream>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>

namespace {

// The names in a folder, "." and ".." left out, sorted.
std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(d))
            if (std::string_view(entry->d_name) != "." && std::string_view(entry->d_name) != "..")
                names.emplace_back(entry->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class PdfPrint : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path;
    QPrinter printer{QPrinter::HighResolution};

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("report.pdf"));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setResolution(300);
    }

    void TearDown() override
    {
        // Kept for a look at the pages when asked for.
        const QByteArray keep = qgetenv("LINTWICK_KEEP_TEST_PDF");
        if (!keep.isEmpty())
            QFile::copy(path, QString::fromLocal8Bit(keep));
    }
};

TEST_F(PdfPrint, ThreePageReportCarriesHeaderFooterAndWrappedLines)
{
    QtPrinterDevice device(printer);
    TLinePrinter lp(device, LocaleSettings::usEnglish());
    lp.setClock(march7At1405);
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
    ASSERT_GT(lp.lineHeight(), 30);

    const int perPage = (lp.bodyHeight() + lp.lineHeight() - 1) / lp.lineHeight() - 1;
    std::string longLine;
    for (int i = 0; i < 30; ++i)
        longLine += "word" + std::to_string(i) + " ";
    longLine += "TAILMARK";

    lp.beginDoc();
    lp.writeLine(longLine);
    for (int i = 0; lp.pageNumber() < 3 || i < 2 * perPage; ++i)
        lp.writeLine("3/6/26 9:15:00 AM          1,024  /home/ann/line" + std::to_string(i) + ".tmp");
    lp.endDoc();
    ASSERT_EQ(device.pageNumber(), 3);

    const QStringList pages = PdfPages(path);
    ASSERT_EQ(pages.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QString& page = pages[i];
        const QStringList lines = page.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_GE(lines.size(), 3) << i;
        const QString header = lines.front().simplified();
        EXPECT_TRUE(header.startsWith(QStringLiteral("Lintwick Report"))) << header.toStdString();
        EXPECT_TRUE(header.endsWith(QStringLiteral("Page %1").arg(i + 1))) << header.toStdString();
        const QString footer = lines.back().simplified();
        EXPECT_EQ(footer, QStringLiteral("3/7/26 2:05:09 PM")) << footer.toStdString();
    }
    // The long line broke after blanks: it starts the first body line and ends on a later one.
    const QStringList first = pages[0].split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_TRUE(first[1].trimmed().startsWith(QStringLiteral("word0 word1")));
    EXPECT_FALSE(first[1].contains(QStringLiteral("TAILMARK")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("TAILMARK")));
    EXPECT_TRUE(pages[2].contains(QStringLiteral("line%1.tmp").arg(2 * perPage - 1)));
}

TEST_F(PdfPrint, FixedPitchShortcutMeasuresLikeTheShaper)
{
    QtPrinterDevice device(printer);
    PrinterFont font = device.font();
    font.name = "Courier New";
    font.height = 46;
    device.setFont(font);
    ASSERT_GT(device.fixedAdvance(), 0);
    const QFontMetrics shaper(QtPrinterDevice::toQFont(font), &printer);
    const std::string wide(200, 'W');
    for (const char* text :
         {"M", "3/6/26 9:15:00 AM          1,024  /home/ann/a.tmp", "word0 word1 word2", wide.c_str()})
        EXPECT_NEAR(device.textWidth(text), shaper.horizontalAdvance(QString::fromLatin1(text)), 1) << text;
    // Text outside plain ASCII is measured by the shaper itself.
    EXPECT_EQ(device.textWidth("caf\xC3\xA9"), shaper.horizontalAdvance(QStringLiteral("caf\u00E9")));
}

TEST_F(PdfPrint, AnAbortedOrFailedRunLeavesNoFileBehind)
{
    const std::string folder = dir.path().toStdString();
    QtPrinterDevice device(printer);
    TLinePrinter lp(device, LocaleSettings::usEnglish());
    printer.setOutputFileName(dir.filePath(QStringLiteral("missing/report.pdf")));
    expectRefused([&] { lp.beginDoc(); }, "Unable to begin printing.");
    EXPECT_FALSE(device.printing());

    printer.setOutputFileName(path);
    lp.beginDoc();
    lp.writeLine("never finished");
    lp.newPage();
    lp.abortDoc();
    EXPECT_EQ(Entries(folder), std::vector<std::string>{});

    // An earlier report of the same name stays whole until the new one is complete.
    std::ofstream(path.toStdString()) << "earlier report";
    lp.beginDoc();
    lp.writeLine("half");
    lp.abortDoc();
    EXPECT_EQ(ReadWholeFile(path.toStdString()), "earlier report");

    // A run that cannot put its file in place at the end fails, and leaves nothing either.
    const QString taken = dir.filePath(QStringLiteral("taken.pdf"));
    ASSERT_TRUE(QDir().mkdir(taken));
    printer.setOutputFileName(taken);
    lp.beginDoc();
    lp.writeLine("whole document");
    EXPECT_THROW(lp.endDoc(), ELinePrinter);
    lp.abortDoc();
    EXPECT_EQ(Entries(folder), (std::vector<std::string>{"report.pdf", "taken.pdf"}));
    EXPECT_EQ(printer.outputFileName(), taken);

    // After all that, the next document prints whole, with nothing of the dropped ones.
    printer.setOutputFileName(path);
    lp.beginDoc();
    lp.writeLine("second try");
    lp.endDoc();
    const QStringList pages = PdfPages(path);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].simplified(), QStringLiteral("second try"));
}

// A file is replaced only by a whole document: the link that names it stays, it keeps its mode, and
// its name may take all 255 bytes or lie in a folder whose name is not UTF-8.
TEST_F(PdfPrint, AFileTargetKeepsItsLinkAndModeWhateverItsName)
{
    const std::string folder = dir.path().toStdString() + "/";
    std::ofstream(folder + "real.pdf") << "earlier report";
    ASSERT_EQ(::chmod((folder + "real.pdf").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("real.pdf", (folder + "link.pdf").c_str()), 0);
    const std::string odd = folder + "caf\xe9/";
    ASSERT_EQ(::mkdir(odd.c_str(), 0700), 0);
    const std::string longName = std::string(251, 'n') + ".pdf";
    for (const std::string& target : {folder + "link.pdf", folder + longName, odd + "report.pdf"}) {
        printer.setOutputFileName(FileNameToText(target));
        QtPrinterDevice device(printer);
        device.beginDoc();
        device.textOut(100, 100, "printed");
        device.endDoc();
        EXPECT_TRUE(ReadWholeFile(target).starts_with("%PDF")) << target;
    }
    struct stat st = {};
    ASSERT_EQ(::lstat((folder + "link.pdf").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat((folder + "real.pdf").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    const mode_t umask = ::umask(0);
    ::umask(umask);
    ASSERT_EQ(::stat((folder + longName).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0666u & ~umask) << "a new file as any other";
    EXPECT_EQ(PdfPages(QString::fromStdString(folder + "real.pdf")).join("").simplified(), "printed");
    EXPECT_EQ(Entries(folder), (std::vector<std::string>{"caf\xe9", "link.pdf", longName, "real.pdf"}));
    EXPECT_EQ(Entries(odd), std::vector<std::string>{"report.pdf"});
}

// No spool has a name anyone else could open, so a run killed half-way leaves nothing behind.
TEST(PrintSpool, SpoolsArePrivateAndNamelessSoAKilledRunLeavesNothing)
{
    TempTree tree;
    tree.dir("tmp");
    tree.file("report.pdf");
    const int status = RunInChild([&] {
        ::setenv("TMPDIR", tree.path("tmp").c_str(), 1);
        ::umask(022);
        PrintSpool queue, file;
        if (!queue.open("") || !file.open(tree.path("report.pdf")))
            return 1;
        for (const PrintSpool* spool : {&queue, &file}) {
            struct stat st = {};
            if (::stat(spool->path().c_str(), &st) != 0 || (st.st_mode & 07777) != 0600)
                return 2;
        }
        ::raise(SIGKILL);
        return 3;
    });
    EXPECT_EQ(status, 128 + SIGKILL);
    EXPECT_EQ(Entries(tree.path("tmp")), std::vector<std::string>{});
    EXPECT_EQ(Entries(tree.root()), (std::vector<std::string>{"report.pdf", "tmp"}));
}

TEST_F(PdfPrint, APrintQueueGetsTheWholeDocumentOnlyAtItsEnd)
{
    // A printer without an output file is a print queue.
    printer.setOutputFileName(QString());
    printer.setOutputFormat(QPrinter::PdfFormat);
    QStringList submitted;
    bool queueAccepts = true;
    QtPrinterDevice device(
        printer, [&](const std::string& pdf, QPrinter&, const std::string& title, std::string& error) {
            submitted << PdfPages(QString::fromStdString(pdf)).join(QLatin1Char('\f')).simplified() + " | " +
                             QString::fromStdString(title);
            error = "queue stopped";
            return queueAccepts;
        });
    TLinePrinter lp(device, LocaleSettings::usEnglish());
    lp.setTitle("Veltrace Report");
    lp.beginDoc();
    lp.writeLine("dropped");
    lp.abortDoc();
    EXPECT_TRUE(submitted.isEmpty());

    lp.beginDoc();
    lp.writeLine("queued line");
    EXPECT_TRUE(submitted.isEmpty());
    lp.endDoc();
    EXPECT_EQ(submitted, QStringList{"queued line | Veltrace Report"});
    EXPECT_TRUE(printer.outputFileName().isEmpty());

    queueAccepts = false;
    lp.beginDoc();
    lp.writeLine("refused");
    EXPECT_THROW(lp.endDoc(), ELinePrinter);
    lp.abortDoc();
    EXPECT_EQ(submitted.size(), 2);
    EXPECT_FALSE(device.printing());
}

} // namespace

TEST(QtPrintDialog, OffersNoPageRangesAndReportsTheAnswer)
{
    QPrinter printer(QPrinter::HighResolution);
    QtPrintDialog dialog(printer);
    for (const bool accept : {false, true}) {
        bool rangeOffered = true;
        QTimer::singleShot(0, [&] {
            auto* shown = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(shown, nullptr);
            EXPECT_FALSE(shown->testOption(QAbstractPrintDialog::PrintPageRange));
            // Nor the reverse order, which the line printer does not print either.
            rangeOffered = !QTest::qWaitFor([shown] {
                const QWidget* range = shown->findChild<QWidget*>(QStringLiteral("gbPrintRange"));
                const QWidget* reverse = shown->findChild<QWidget*>(QStringLiteral("reverse"));
                return range && range->isHidden() && reverse && reverse->isHidden();
            });
            if (accept)
                shown->accept();
            else
                shown->reject();
        });
        EXPECT_EQ(dialog.Execute(), accept);
        EXPECT_FALSE(rangeOffered);
    }
}
