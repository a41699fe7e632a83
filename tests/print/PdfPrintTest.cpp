// SPDX-License-Identifier: GPL-3.0-or-later
// End to end: documents printed through the QPrinter device into PDF files, read back with pdftotext.
#include "platform/FileNameText.h"
#include "platform/PrintDialog.h"
#include "platform/PrintSpool.h"
#include "platform/QtPrintDialog.h"
#include "platform/QtPrinterDevice.h"
#include "platform/RecordingMessageBoxes.h"
#include "print/ELinePrinter.h"
#include "print/PrintJob.h"

#include "ChildProcess.h"
#include "PrintedText.h"
#include "TempTree.h"
#include "TestFiles.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

using Names = std::vector<std::string>;

// The names in a folder, sorted.
Names Entries(const std::string& folder)
{
    Names names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class PdfPrint : public ::testing::Test
{
protected:
    void SetUp() override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setResolution(300);
        target(tree.path("report.pdf"));
    }
    void target(const std::string& path) { printer.setOutputFileName(FileNameToText(path)); }

    TempTree tree;
    QPrinter printer{QPrinter::HighResolution};
};

TEST_F(PdfPrint, OnlyAWholeDocumentReplacesTheFileAndItCarriesEveryPage)
{
    QtPrinterDevice device(printer);
    TLinePrinter lp(device, LocaleSettings::usEnglish());
    std::ofstream(tree.path("report.pdf")) << "earlier report";
    lp.beginDoc();
    lp.writeLine("never finished");
    lp.newPage();
    lp.abortDoc();
    EXPECT_EQ(ReadWholeFile(tree.path("report.pdf")), "earlier report");
    EXPECT_EQ(Entries(tree.root()), Names{"report.pdf"});

    // The report job after it: the list's font, header and footer on every page.
    FakePrintDialog dialog;
    RecordingMessageBoxes messages;
    PrintJob job(PrintServices{device, dialog, {}}, messages, LocaleSettings::usEnglish());
    const PrintDocument report{ReportPrintFont(), 150,
                               [](int i) { return "/home/ann/line" + std::to_string(i); }};
    ASSERT_EQ(job.Print(report), PrintJob::Result::Printed);
    const QStringList pages = PdfPages(QString::fromStdString(tree.path("report.pdf")));
    ASSERT_GE(pages.size(), 2);
    const QRegularExpression footer(QStringLiteral("^\\d+/\\d+/\\d\\d \\d+:\\d\\d:\\d\\d [AP]M$"));
    for (int i = 0; i < pages.size(); ++i) {
        const QStringList lines = pages[i].split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_GE(lines.size(), 3) << i;
        EXPECT_EQ(lines.front().simplified(), QStringLiteral("Veltrace Report Page %1").arg(i + 1));
        EXPECT_TRUE(footer.match(lines.back().simplified()).hasMatch()) << lines.back().toStdString();
    }
    EXPECT_TRUE(pages.back().contains(QStringLiteral("/home/ann/line149")));

    // A run that cannot put its file in place fails and leaves nothing; what is not a regular file is
    // never replaced.
    tree.dir("taken.pdf");
    ASSERT_EQ(::mkfifo(tree.path("pipe.pdf").c_str(), 0600), 0);
    for (const char* name : {"taken.pdf", "pipe.pdf"}) {
        target(tree.path(name));
        EXPECT_EQ(job.Print(report), PrintJob::Result::Failed) << name;
    }
    EXPECT_EQ(Entries(tree.root()), (Names{"pipe.pdf", "report.pdf", "taken.pdf"}));
    EXPECT_EQ(Entries(tree.path("taken.pdf")), Names{});
    struct stat st = {};
    ASSERT_EQ(::lstat(tree.path("pipe.pdf").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    // On a disk too full for it, whatever the PDF writer says: the run fails, the earlier file stays.
    tree.dir("full");
    const int code = RunInChild([&] {
        if (!EnterPrivateMounts() || !MountTmpfs(tree.path("full"), "size=16k"))
            return kChildSkipped;
        std::ofstream(tree.path("full/report.pdf")) << "earlier report";
        target(tree.path("full/report.pdf"));
        EXPECT_EQ(job.Print(report), PrintJob::Result::Failed);
        EXPECT_EQ(ReadWholeFile(tree.path("full/report.pdf")), "earlier report");
        EXPECT_EQ(Entries(tree.path("full")), Names{"report.pdf"});
        return 0;
    });
    if (code == kChildSkipped)
        GTEST_SKIP() << "mounting a tmpfs is refused here";
    EXPECT_EQ(code, 0);
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
    for (const char* text : {"M", "3/6/26 9:15:00 AM          1,024  /home/ann/a.tmp", wide.c_str()})
        EXPECT_NEAR(device.textWidth(text), shaper.horizontalAdvance(QString::fromLatin1(text)), 1) << text;
    EXPECT_EQ(device.textWidth("caf\xC3\xA9"), shaper.horizontalAdvance(QStringLiteral("caf\u00E9")));
}

// The link that names a file stays, the file keeps its mode, and its name may take all 255 bytes or lie
// in a folder whose name is not UTF-8.
TEST_F(PdfPrint, AFileTargetKeepsItsLinkAndModeWhateverItsName)
{
    std::ofstream(tree.path("real.pdf")) << "earlier report";
    ASSERT_EQ(::chmod(tree.path("real.pdf").c_str(), 0600), 0);
    tree.symlink("link.pdf", "real.pdf");
    tree.dir("caf\xe9");
    const std::string longName = std::string(251, 'n') + ".pdf";
    for (const std::string& name : {std::string("link.pdf"), longName, std::string("caf\xe9/report.pdf")}) {
        target(tree.path(name));
        QtPrinterDevice device(printer);
        device.beginDoc();
        device.textOut(100, 100, "printed");
        device.endDoc();
        EXPECT_TRUE(ReadWholeFile(tree.path(name)).starts_with("%PDF")) << name;
    }
    struct stat st = {};
    ASSERT_EQ(::lstat(tree.path("link.pdf").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(tree.path("real.pdf").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    const mode_t umask = ::umask(0);
    ::umask(umask);
    ASSERT_EQ(::stat(tree.path(longName).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0666u & ~umask) << "a new file as any other";
    EXPECT_EQ(Entries(tree.root()), (Names{"caf\xe9", "link.pdf", longName, "real.pdf"}));
    EXPECT_EQ(Entries(tree.path("caf\xe9")), Names{"report.pdf"});
}

TEST_F(PdfPrint, APrintQueueGetsTheWholeDocumentOnlyAtItsEnd)
{
    printer.setOutputFileName(QString()); // no output file: a print queue
    printer.setOutputFormat(QPrinter::PdfFormat);
    QStringList submitted;
    bool queueAccepts = true;
    QtPrinterDevice device(
        printer, [&](const std::string& pdf, QPrinter&, const std::string& title, std::string&) {
            submitted << PdfPages(QString::fromStdString(pdf)).join(QLatin1Char('\f')).simplified() + " | " +
                             QString::fromStdString(title);
            return queueAccepts;
        });
    TLinePrinter lp(device, LocaleSettings::usEnglish());
    lp.setTitle("Veltrace Report");
    lp.beginDoc();
    lp.writeLine("dropped");
    lp.abortDoc();
    lp.beginDoc();
    lp.writeLine("queued line");
    EXPECT_TRUE(submitted.isEmpty());
    lp.endDoc();
    queueAccepts = false;
    lp.beginDoc();
    lp.writeLine("refused");
    EXPECT_THROW(lp.endDoc(), ELinePrinter);
    lp.abortDoc();
    EXPECT_EQ(submitted, (QStringList{"queued line | Veltrace Report", "refused | Veltrace Report"}));
    EXPECT_FALSE(device.printing());
    EXPECT_TRUE(printer.outputFileName().isEmpty());
}

} // namespace

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
    EXPECT_EQ(Entries(tree.path("tmp")), Names{});
    EXPECT_EQ(Entries(tree.root()), (Names{"report.pdf", "tmp"}));
}

TEST(QtPrintDialog, OffersNoPageRangesNorReverseOrderAndReportsTheAnswer)
{
    QPrinter printer(QPrinter::HighResolution);
    QtPrintDialog dialog(printer);
    for (const bool accept : {false, true}) {
        bool rangeOffered = true;
        QTimer::singleShot(0, [&] {
            auto* shown = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(shown, nullptr);
            rangeOffered = !QTest::qWaitFor([shown] {
                const QWidget* range = shown->findChild<QWidget*>(QStringLiteral("gbPrintRange"));
                const QWidget* reverse = shown->findChild<QWidget*>(QStringLiteral("reverse"));
                return range && range->isHidden() && reverse && reverse->isHidden();
            });
            accept ? shown->accept() : shown->reject();
        });
        EXPECT_EQ(dialog.Execute(), accept);
        EXPECT_FALSE(rangeOffered);
    }
}
