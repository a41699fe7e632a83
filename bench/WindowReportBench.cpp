// SPDX-License-Identifier: GPL-3.0-or-later
// The duplicates report through the main window's own handler, offscreen, on the tree given as the
// only drive: the time from the command to the first painted row, and the worst lateness of a 10 ms
// timer on the window thread during the run. window_bench.py sets it beside lintwick-report.
//
//     QT_QPA_PLATFORM=offscreen build/bench/window_report_bench TREE
#include "main/ReportRunController.h"
#include "main/TMainForm.h"
#include "platform/DriveProbe.h"
#include "platform/FakeProgramLauncher.h"
#include "platform/RecordingHelpViewer.h"
#include "platform/RecordingMessageBoxes.h"
#include "platform/SystemLocale.h"
#include "widgets/TOvcVirtualListbox.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

double MsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_report_bench TREE\n");
        return 2;
    }
    QApplication app(argc, argv);
    std::string root = argv[1];
    if (root.back() != '/')
        root += '/';

    FixedDriveProbe drives({root});
    RecordingMessageBoxes messages; // answers the question with OK
    FakeProgramLauncher launcher;
    RecordingHelpViewer help;
    TMainForm form(MainServices{drives, messages, launcher, help, systemLocaleSettings()});
    form.RunModal = [](QDialog&) { return int(QDialog::Rejected); }; // the tip window
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::fprintf(stderr, "window_report_bench: the window was not shown\n");
        return 1;
    }

    // The first row painted after the command ends the measurement.
    QEventLoop loop;
    Clock::time_point firstRow;
    const auto getItem = form.ListBox()->OnGetItem;
    form.ListBox()->OnGetItem = [&](TOvcCustomVirtualListBox* sender, int index, QString& text) {
        getItem(sender, index, text);
        if (firstRow == Clock::time_point() && sender->NumItems() > 0) {
            firstRow = Clock::now();
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        }
    };
    // The finished report may have no rows to paint.
    QTimer finished;
    finished.setInterval(50);
    QObject::connect(&finished, &QTimer::timeout, [&] {
        if (!form.ReportRun().Running() && form.ListBox()->NumItems() == 0)
            loop.quit();
    });

    // How late the window thread answers a 10 ms timer while the report runs.
    constexpr double kTick = 10;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(int(kTick));
    Clock::time_point lastTick;
    double worstDelay = 0;
    Clock::time_point worstAt;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        if (MsBetween(lastTick, now) - kTick > worstDelay) {
            worstDelay = MsBetween(lastTick, now) - kTick;
            worstAt = now;
        }
        lastTick = now;
    });

    lastTick = Clock::now();
    ticker.start();
    const Clock::time_point command = Clock::now();
    form.DupesSpeedButtonClick();
    finished.start();
    loop.exec();
    const Clock::time_point end = firstRow == Clock::time_point() ? Clock::now() : firstRow;
    ticker.stop();

    std::printf("first_row_s %.3f\n", MsBetween(command, end) / 1000);
    std::printf("worst_delay_ms %.1f\n", worstDelay);
    std::printf("worst_delay_at_s %.3f\n", MsBetween(command, worstAt) / 1000);
    std::printf("rows %d\n", form.ListBox()->NumItems());
    std::printf("status %s\n", form.StatusPanel(1)->text().toUtf8().constData());
    return 0;
}
