// SPDX-License-Identifier: GPL-3.0-or-later
// Trashing the files of a duplicates report many at once, against `gio trash` given the same files in
// one call, and restoring them all from the audit window, against as many plain rename calls; then the
// same from the main window: every row of a report marked, Delete, and Undo Delete. Prints
// one figure per line, and the medians with their targets at the end. Everything happens under one
// folder, so on one filesystem; nothing is deleted before the end, so that no run pays for the
// deletions of another.
//
//   QT_QPA_PLATFORM=offscreen trash_bench [--dir DIR] [--files N] [--repeat K] [--no-gio]
#include "audit/TAuditForm.h"
#include "audit/TrashRun.h"
#include "main/ReportRunController.h"
#include "main/TMainForm.h"
#include "main/TrashRunController.h"
#include "platform/DriveProbe.h"
#include "platform/FakeProgramLauncher.h"
#include "platform/PrintDialog.h"
#include "platform/RecordingHelpViewer.h"
#include "platform/RecordingMessageBoxes.h"
#include "platform/RecordingPrinter.h"
#include "scan/ReportRunner.h"
#include "widgets/TOvcTextFileViewer.h"
#include "widgets/TOvcVirtualListbox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Report(const std::string& what, double value, const char* unit, const std::string& target)
{
    std::printf("%-60s %10.2f %-3s  %s\n", what.c_str(), value, unit, target.c_str());
    std::fflush(stdout);
}

// N small files in folders of 100, the same 100 names in every folder: a duplicates report of 100
// groups. Returns the paths.
std::vector<std::string> MakeTree(const std::string& root, int files)
{
    std::vector<std::string> paths;
    for (int i = 0; i < files; ++i) {
        const std::string folder = root + "/d" + std::to_string(i / 100);
        if (i % 100 == 0)
            std::filesystem::create_directories(folder);
        paths.push_back(folder + "/file" + std::to_string(i % 100) + ".txt");
        std::ofstream(paths.back()) << paths.back() << '\n';
    }
    ::sync();
    return paths;
}

double GioTrash(const std::string& dir, const std::vector<std::string>& paths)
{
    const std::string dataHome = "XDG_DATA_HOME=" + dir + "/gio-data";
    std::vector<char*> argv{const_cast<char*>("gio"), const_cast<char*>("trash")};
    for (const std::string& path : paths)
        argv.push_back(const_cast<char*>(path.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> env{const_cast<char*>(dataHome.c_str())};
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "XDG_DATA_HOME=", 14) != 0)
            env.push_back(*e);
    }
    env.push_back(nullptr);
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    if (::posix_spawnp(&pid, "gio", nullptr, nullptr, argv.data(), env.data()) != 0)
        return -1;
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double ms = MsSince(start);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

struct OurRun
{
    double ms = 0;
    double stopMs = 0;     // from the stop to the run's end, when stopAfter was given
    double longestGap = 0; // between two progress reports, or from the start to the first
    std::size_t moved = 0;
    std::size_t lines = 0;
};

// Trashes every row of a duplicates report of tree; stops after stopAfter ms when given.
OurRun LintwickTrash(const std::string& dir, const std::string& tree, double stopAfter = 0)
{
    ResultTable table;
    ReportRequest request;
    request.roots = {tree + "/"};
    request.mask = "*.*";
    ReportRunner().run(request, table);
    std::vector<int> rows;
    for (int row = 0; row <= table.LastRow(); ++row)
        rows.push_back(row);
    const std::vector<TrashRunFile> files = TrashRun::FilesOfRows(table, rows);

    std::filesystem::create_directories(dir + "/program");
    const TrashRun run(LocaleSettings::usEnglish(), [&] { return Trash(dir + "/data/Trash", ::getuid()); });
    OurRun result;
    Clock::time_point last = Clock::now();
    const Clock::time_point start = last;
    Clock::time_point stopped = start;
    const auto stop = [&] {
        if (stopAfter <= 0 || MsSince(start) < stopAfter)
            return false;
        if (stopped == start)
            stopped = Clock::now();
        return true;
    };
    const TrashRunSummary summary = run.Run(files, dir + "/program/", stop, [&](const TrashRunProgress&) {
        result.longestGap = std::max(result.longestGap, MsSince(last));
        last = Clock::now();
    });
    result.ms = MsSince(start);
    result.stopMs = stopped == start ? 0 : MsSince(stopped);
    result.moved = summary.moved;
    std::ifstream log(dir + "/program/audit.txt");
    for (std::string line; std::getline(log, line);)
        ++result.lines;
    return result;
}

// The worst lateness of a 10 ms timer on the window thread since start().
class Lateness
{
public:
    Lateness()
    {
        m_ticker.setInterval(10);
        QObject::connect(&m_ticker, &QTimer::timeout, [this] {
            m_worst = std::max(m_worst, m_sinceTick.nsecsElapsed() / 1e6 - 10);
            m_sinceTick.start();
        });
    }
    void start()
    {
        m_worst = 0;
        m_ticker.start();
        m_sinceTick.start();
    }
    double worst() const { return m_worst; }

private:
    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    double m_worst = 0;
};

// Lets the window thread work until a run's box is shown; returns its text.
std::string WaitForBox(RecordingMessageBoxes& messages)
{
    const auto box = [&] {
        return std::find_if(
            messages.shown.begin(), messages.shown.end(),
            [](const RecordingMessageBoxes::Shown& shown) { return shown.kind == "Information"; });
    };
    while (box() == messages.shown.end())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return box()->text;
}

struct WindowRestore
{
    double ms = 0;
    double worstLateness = 0; // of a 10 ms timer on the window thread
    std::string box;
};

// Opens the audit log in the audit window, highlights every line and restores them, the window thread
// running a 10 ms timer all along.
WindowRestore RestoreFromWindow(const std::string& dir)
{
    RecordingMessageBoxes messages;
    RecordingHelpViewer help;
    RecordingPrinter printer;
    FakePrintDialog dialog;
    TAuditForm form(messages, help, PrintServices{printer, dialog, {}}, LocaleSettings::usEnglish());
    form.SetProgramDir(dir + "/program/");
    form.SetRestoreCommand(
        RestoreCommand(LocaleSettings::usEnglish(), [&] { return Trash(dir + "/data/Trash", ::getuid()); }));
    form.SetFileName(dir + "/program/audit.txt");
    form.AuditOpenButtonClick();
    form.AuditMemo()->SetHighlight(0, 0, form.AuditMemo()->LineCount() - 1, 0, true);

    WindowRestore result;
    Lateness lateness;
    const Clock::time_point start = Clock::now();
    lateness.start();
    form.findChild<QToolButton*>(QStringLiteral("AuditRestoreButton"))->click();
    result.box = WaitForBox(messages);
    result.ms = MsSince(start);
    result.worstLateness = lateness.worst();
    return result;
}

struct MainWindowRun
{
    WindowRestore trash; // every row marked, Delete, Yes
    WindowRestore undo;  // Undo Delete
};

// The duplicates report of tree in the main window, offscreen; then every row marked, Delete answered
// Yes, and Undo Delete, each timed from the command to its box.
MainWindowRun FromMainWindow(const std::string& dir, const std::string& tree)
{
    // The window's program folder, which holds its audit log, is the current one when it is made.
    std::filesystem::create_directories(dir + "/window-program");
    if (::chdir((dir + "/window-program").c_str()) != 0)
        return {};
    FixedDriveProbe drives({tree + "/"});
    RecordingMessageBoxes messages;
    FakeProgramLauncher launcher;
    RecordingHelpViewer help;
    TMainForm form(MainServices{drives, messages, launcher, help, LocaleSettings::usEnglish()});
    const auto trash = [dir] { return Trash(dir + "/window-data/Trash", ::getuid()); };
    form.TrashRuns().SetTrashRun(TrashRun(LocaleSettings::usEnglish(), trash));
    form.TrashRuns().SetRestoreCommand(RestoreCommand(LocaleSettings::usEnglish(), trash));
    form.show();
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form) || !form.ReportRun().Start(ScanMode::Duplicates, {tree + "/"}))
        return {};
    while (form.ReportRun().Running())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);

    MainWindowRun result;
    Lateness lateness;
    const auto timed = [&](const std::function<void()>& command, WindowRestore& figures) {
        messages.shown.clear();
        const Clock::time_point start = Clock::now();
        lateness.start();
        command();
        figures.box = WaitForBox(messages);
        figures.ms = MsSince(start);
        figures.worstLateness = lateness.worst();
    };
    timed(
        [&] {
            form.ListBox()->SetRangeMarked(0, form.ListBox()->LastIndex(), true);
            form.DeleteSpeedButtonClick();
        },
        result.trash);
    timed([&] { form.UndoDelete1Click(); }, result.undo);
    return result;
}

std::vector<std::string> Names(const std::string& from)
{
    std::vector<std::string> names;
    if (DIR* listing = ::opendir(from.c_str())) {
        while (const dirent* entry = ::readdir(listing)) {
            if (entry->d_name[0] != '.')
                names.emplace_back(entry->d_name);
        }
        ::closedir(listing);
    }
    return names;
}

// Renames every file in from (gio's trash) into folders of 100 under to, as a restore puts files back.
double Renames(const std::string& from, const std::string& to)
{
    const std::vector<std::string> names = Names(from);
    std::vector<std::string> sources;
    std::vector<std::string> targets;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string folder = to + "/d" + std::to_string(i / 100);
        std::filesystem::create_directories(folder);
        sources.push_back(from + "/" + names[i]);
        targets.push_back(folder + "/" + names[i]);
    }
    const Clock::time_point start = Clock::now();
    for (std::size_t i = 0; i < names.size(); ++i)
        ::rename(sources[i].c_str(), targets[i].c_str());
    return MsSince(start);
}

// Removes every record in info (gio's), as a restore removes the records of the files it brought back.
double Unlinks(const std::string& info)
{
    const std::vector<std::string> names = Names(info);
    const Clock::time_point start = Clock::now();
    for (const std::string& name : names)
        ::unlink((info + "/" + name).c_str());
    return MsSince(start);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

std::string Verdict(double value, double target)
{
    char text[48];
    std::snprintf(text, sizeof text, "(target %.1f: %s)", target, value <= target ? "ok" : "MISSED");
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::string dir = "/tmp/lintwick-trash-bench";
    int files = 10000;
    int repeat = 5;
    bool gio = true;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--no-gio")
            gio = false;
        else if (option == "--dir" && i + 1 < argc)
            dir = argv[++i];
        else if (option == "--files" && i + 1 < argc)
            files = std::stoi(argv[++i]);
        else if (option == "--repeat" && i + 1 < argc)
            repeat = std::stoi(argv[++i]);
    }
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::printf("%d files under %s\n", files, dir.c_str());

    std::vector<double> trashRatios, restoreRatios, floorRatios, latenesses;
    std::vector<double> windowRatios, windowLatenesses, undoLatenesses;
    for (int r = 0; r < repeat; ++r) {
        const std::string run = dir + "/" + std::to_string(r);
        const std::vector<std::string> gioFiles = MakeTree(run + "/gio-tree", files);
        MakeTree(run + "/tree", files);
        MakeTree(run + "/window-tree", files);
        // In turns first, as whatever the filesystem still does after the trees were made weighs on
        // the first.
        double gioMs = 0;
        if (gio && r % 2 == 0)
            gioMs = GioTrash(run, gioFiles);
        const OurRun ours = LintwickTrash(run, run + "/tree");
        if (gio && r % 2 == 1)
            gioMs = GioTrash(run, gioFiles);
        if (gio) {
            Report("gio trash, one call", gioMs, "ms", "");
            trashRatios.push_back(ours.ms / gioMs);
        }
        Report("Lintwick trash run (" + std::to_string(ours.moved) + " moved, " + std::to_string(ours.lines) +
                   " audit lines)",
               ours.ms, "ms", gio ? "ratio " + std::to_string(ours.ms / gioMs) : "");
        Report("  longest wait for its progress", ours.longestGap, "ms", "");

        const WindowRestore restore = RestoreFromWindow(run);
        Report("Restore of every line from the audit window", restore.ms, "ms",
               "(" + restore.box.substr(0, restore.box.find('\n')) + ")");
        Report("  worst lateness of the window thread", restore.worstLateness, "ms", "");
        latenesses.push_back(restore.worstLateness);
        if (gio) {
            const double renames = Renames(run + "/gio-data/Trash/files", run + "/renamed");
            const double unlinks = Unlinks(run + "/gio-data/Trash/info");
            Report("as many rename calls", renames, "ms", "");
            Report("  and unlink calls of their records", unlinks, "ms", "");
            restoreRatios.push_back(restore.ms / renames);
            floorRatios.push_back(restore.ms / (renames + unlinks));
        }

        const MainWindowRun window = FromMainWindow(run, run + "/window-tree");
        const auto firstLine = [](const std::string& box) {
            return "(" + box.substr(0, box.find('\n')) + ")";
        };
        Report("Main window: mark all, Delete, Yes", window.trash.ms, "ms",
               gio ? "ratio " + std::to_string(window.trash.ms / gioMs) : firstLine(window.trash.box));
        Report("  worst lateness of the window thread", window.trash.worstLateness, "ms",
               firstLine(window.trash.box));
        Report("Main window: Undo Delete", window.undo.ms, "ms", firstLine(window.undo.box));
        Report("  worst lateness of the window thread", window.undo.worstLateness, "ms", "");
        if (gio)
            windowRatios.push_back(window.trash.ms / gioMs);
        windowLatenesses.push_back(window.trash.worstLateness);
        undoLatenesses.push_back(window.undo.worstLateness);
    }
    // The stop is seen before the next file; what was recorded by then is moved and logged.
    MakeTree(dir + "/stop/tree", files);
    const OurRun stopped = LintwickTrash(dir + "/stop", dir + "/stop/tree", 150);
    Report("trash run stopped 150 ms in: from the stop to its end", stopped.stopMs, "ms",
           "(" + std::to_string(stopped.moved) + " moved)");

    std::printf("\nmedians of %d runs\n", repeat);
    if (gio) {
        Report("trash run / gio trash", Median(trashRatios), "x", Verdict(Median(trashRatios), 0.5));
        Report("restore / rename calls", Median(restoreRatios), "x", Verdict(Median(restoreRatios), 1.2));
        Report("restore / (rename + unlink calls)", Median(floorRatios), "x", "");
    }
    Report("worst lateness of the window thread", Median(latenesses), "ms", Verdict(Median(latenesses), 50));
    if (gio)
        Report("main window: mark all, Delete / gio trash", Median(windowRatios), "x",
               Verdict(Median(windowRatios), 0.5));
    Report("  worst lateness of the window thread", Median(windowLatenesses), "ms",
           Verdict(Median(windowLatenesses), 50));
    Report("main window: Undo Delete, worst lateness", Median(undoLatenesses), "ms",
           Verdict(Median(undoLatenesses), 50));
    std::filesystem::remove_all(dir);
    return 0;
}
