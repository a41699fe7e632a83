// SPDX-License-Identifier: GPL-3.0-or-later
// Speed and memory of the list box and the viewer at the sizes Lintwick meets: a full result table of
// 500,001 rows and a 100 MB log of 1,000,000 lines, and marking a 1,000,000-row report. Prints one
// figure per line with its target.
#include "widgets/RowMarks.h"
#include "widgets/TOvcController.h"
#include "widgets/TOvcTextFileViewer.h"
#include "widgets/TOvcVirtualListbox.h"

#include <QApplication>
#include <QKeyEvent>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

void Report(const char* what, double value, const char* unit, const char* target)
{
    std::printf("%-52s %10.2f %-3s  (target %s)\n", what, value, unit, target);
    std::fflush(stdout);
}

void BenchList(const std::shared_ptr<TOvcController>& controller)
{
    constexpr int kRows = 500001;
    std::vector<std::string> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i)
        rows.push_back("12/6/26 8:" + std::to_string(10 + i % 50) + ":00 AM         " +
                       std::to_string(1000 + i) + "  /home/ann/Downloads/projects/archive/file" +
                       std::to_string(i) + ".tmp");

    TOvcVirtualListbox list;
    list.SetController(controller);
    list.SetHeader(QStringLiteral("Time Stamp           | Size           | Pathname "));
    list.SetShowHeader(true);
    list.SetScrollBars(TScrollStyle::ssBoth);
    list.OnGetItem = [&rows](TOvcCustomVirtualListBox*, int index, QString& text) {
        const std::string& row = rows[static_cast<std::size_t>(index)];
        text = QString::fromUtf8(row.data(), static_cast<qsizetype>(row.size()));
    };
    list.SetNumItems(0);
    list.resize(1000, 700);
    list.show();
    QApplication::processEvents();

    auto start = Clock::now();
    list.SetNumItems(kRows);
    list.viewport()->repaint();
    Report("NumItems := 500,001 and paint one screen", MsSince(start), "ms", "< 5 ms for the paint");

    constexpr int kPaints = 200;
    start = Clock::now();
    for (int i = 0; i < kPaints; ++i)
        list.viewport()->repaint();
    char label[96];
    std::snprintf(label, sizeof label, "paint one screen of %d rows (mean of %d)", list.VisibleRows(),
                  kPaints);
    Report(label, MsSince(start) / kPaints, "ms", "< 5 ms");

    start = Clock::now();
    int pages = 0;
    while (list.ItemIndex() < list.LastIndex()) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(&list, &press);
        list.viewport()->repaint();
        ++pages;
    }
    const double pagingMs = MsSince(start);
    std::snprintf(label, sizeof label, "Page Down through 500,001 rows (%d pages, painted)", pages);
    Report(label, pagingMs, "ms", "none; per page below");
    Report("  per page", pagingMs / pages, "ms", "< 5 ms");
}

void BenchMarks(const std::shared_ptr<TOvcController>& controller)
{
    // A duplicates report: groups of three files, a separator row after each.
    constexpr int kRows = 1000000;
    TOvcVirtualListbox list;
    list.SetController(controller);
    list.SetShowHeader(true);
    list.OnGetItem = [](TOvcCustomVirtualListBox*, int index, QString& text) {
        text = index % 4 == 3
                   ? QString()
                   : QStringLiteral("12/6/26 8:10:00 AM    1,234,567  /home/ann/file%1.tmp").arg(index);
    };
    list.OnGetItemStatus = [](TOvcCustomVirtualListBox*, int index, bool& protect) {
        protect = index % 4 == 3;
    };
    list.SetMultiSelect(true);
    list.SetNumItems(kRows);
    list.resize(1000, 700);
    list.show();
    QApplication::processEvents();

    constexpr int kRuns = 10;
    double markMs = 0;
    double clearMs = 0;
    for (int i = 0; i < kRuns; ++i) {
        auto start = Clock::now();
        list.SetRangeMarked(0, kRows - 1, true);
        list.viewport()->repaint();
        markMs += MsSince(start);
        start = Clock::now();
        list.ClearMarks();
        list.viewport()->repaint();
        clearMs += MsSince(start);
    }
    Report("mark all 1,000,000 rows and paint (mean of 10)", markMs / kRuns, "ms", "< 50 ms");
    Report("  clear all marks and paint (mean of 10)", clearMs / kRuns, "ms", "< 50 ms");

    list.SetItemIndex(0);
    auto start = Clock::now();
    QKeyEvent shiftEnd(QEvent::KeyPress, Qt::Key_End, Qt::ShiftModifier);
    QApplication::sendEvent(&list, &shiftEnd);
    list.viewport()->repaint();
    Report("Shift+End from row 0, painted", MsSince(start), "ms", "< 50 ms");

    start = Clock::now();
    long long sum = 0;
    for (int r = list.Marks().NextMarked(0); r >= 0; r = list.Marks().NextMarked(r + 1))
        sum += r;
    char label[96];
    std::snprintf(label, sizeof label, "walk the %d marks in order", list.Marks().Count());
    Report(label, MsSince(start), "ms", sum > 0 ? "none" : "none (none found!)");

    RowMarks marks;
    marks.Reset(kRows);
    start = Clock::now();
    for (int i = 0; i < kRuns; ++i) {
        marks.SetRange(0, kRows - 1, true);
        marks.SetRange(0, kRows - 1, false);
    }
    Report("  of which RowMarks fill and clear, 1,000,000 rows", MsSince(start) / kRuns, "ms", "none");
}

void BenchViewer(const std::shared_ptr<TOvcController>& controller)
{
    constexpr int kLines = 1000000;
    const std::string path = "/tmp/lintwick-bench-audit.txt";
    {
        std::ofstream out(path, std::ios::binary);
        std::string line;
        for (int i = 0; i < kLines; ++i) {
            line = "12/6/26  8:41:07 AM  /home/ann/Dokumente/\xc3\x9c"
                   "bersicht/archive/2026/december/report-" +
                   std::to_string(1000000 + i) + ".tmp";
            line.resize(98, 'x');
            out << line << "\r\n";
        }
    }
    const long fileBytes = static_cast<long>(kLines) * 100;

    TOvcTextFileViewer viewer;
    viewer.SetController(controller);
    viewer.SetShowCaret(false);
    viewer.resize(1000, 700);
    viewer.show();
    QApplication::processEvents();

    const long before = ResidentBytes();
    auto start = Clock::now();
    viewer.SetFileName(path);
    viewer.SetIsOpen(true);
    Report("load a 100 MB, 1,000,000-line file", MsSince(start), "ms", "< 1500 ms");
    const long after = ResidentBytes();
    Report("  resident memory added, as a multiple of the file", double(after - before) / fileBytes, "x",
           "< 2.5x");
    Report("  line store blocks, as a multiple of the file", double(viewer.StoreBytes()) / fileBytes, "x",
           "< 2.5x");

    start = Clock::now();
    const bool found = viewer.Search("no such text anywhere", sfFind | sfEntireText);
    Report(found ? "search (unexpectedly found!)" : "search that finds nothing", MsSince(start), "ms",
           "< 1000 ms");

    start = Clock::now();
    const bool foundLast = viewer.Search("report-1999999", sfFind | sfEntireText);
    Report(foundLast ? "search that finds the last line" : "search for the last line FAILED", MsSince(start),
           "ms", "< 1000 ms");
    std::remove(path.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    auto controller = std::make_shared<TOvcController>();
    // The viewer first: memory the list's row texts leave to the allocator would hide the viewer's.
    BenchViewer(controller);
    BenchList(controller);
    BenchMarks(controller);
    return 0;
}
