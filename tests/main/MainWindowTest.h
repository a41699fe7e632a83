// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audit/TAuditForm.h"
#include "dialogs/TDrivesForm.h"
#include "dialogs/TSizeForm.h"
#include "info/TTipForm.h"
#include "main/ContentCompareController.h"
#include "main/ReportRunController.h"
#include "main/TMainForm.h"
#include "main/TrashRunController.h"
#include "platform/DriveProbe.h"
#include "platform/FakeProgramLauncher.h"
#include "platform/FolderChooser.h"
#include "platform/PrintDialog.h"
#include "platform/RecordingHelpViewer.h"
#include "platform/RecordingMessageBoxes.h"
#include "platform/RecordingPrinter.h"
#include "widgets/TOvcVirtualListbox.h"

#include "TempTree.h"
#include "TestFiles.h"
#include "WalkGate.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using Shown = RecordingMessageBoxes::Shown;
using Paths = std::vector<std::string>;

// The tree gives the window its program folder (the current one, where audit.txt goes) and the trash
// its XDG_DATA_HOME, which every test of the window sets again.
struct TestFolders
{
    explicit TestFolders(const TempTree& tree)
    {
        ::mkdir(tree.path("program").c_str(), 0755);
        EXPECT_EQ(::chdir(tree.path("program").c_str()), 0);
        ::setenv("XDG_DATA_HOME", tree.path("data").c_str(), 1);
    }
    ~TestFolders() { EXPECT_EQ(::chdir(previous.c_str()), 0); }
    std::string previous = std::filesystem::current_path();
};

// The main window with its dialogs, the tip and the audit window, on a temporary tree whose folders
// "one/" and "two/" are its drives. It records what it shows, answers the modal windows as each test
// says, and a report's walk waits at the gate's directories.
class MainWindowTest : public ::testing::Test
{
protected:
    MainWindowTest()
    {
        m_tree.dir("one");
        m_tree.dir("two");
        m_form.SetPrinting(PrintServices{m_printer, m_dialog, {}});
        m_form.SetAuditForm(&m_audit);
        m_form.SetDrivesForm(&m_drivesForm);
        m_form.SetSizeForm(&m_sizeForm);
        m_form.SetTipForm(&m_tipForm);
        m_form.RunModal = [this](QDialog& dialog) {
            m_modals.push_back(dialog.objectName().toStdString());
            const auto answer = m_answers.find(m_modals.back());
            return answer != m_answers.end() ? answer->second() : int(QDialog::Rejected);
        };
        m_form.ReportRun().Worker().afterDirectoryRead = [gate = m_gate](const std::string& directory) {
            gate->Arrive(directory);
        };
    }
    ~MainWindowTest() override { m_gate->ReleaseAll(); }

    bool WaitArrived(const std::string& at) const
    {
        return QTest::qWaitFor([&] { return m_gate->Arrived(at); }, 30000);
    }
    QToolButton* Button(const char* name) const
    {
        return m_form.findChild<QToolButton*>(QString::fromLatin1(name));
    }
    QAction* Action(const char* name) const { return m_form.findChild<QAction*>(QString::fromLatin1(name)); }
    static bool ShowActive(QWidget& window)
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
    std::string Panel1() const { return m_form.StatusPanel(1)->text().toStdString(); }
    TOvcVirtualListbox* List() const { return m_form.ListBox(); }
    // Waits until no report run, content check or trash run is under way.
    bool Ended()
    {
        return QTest::qWaitFor(
            [this] {
                return !m_form.ReportRun().Running() && !m_form.ContentCompare().Running() &&
                       !m_form.TrashRuns().Running();
            },
            30000);
    }
    void RunDupes()
    {
        m_form.DupesSpeedButtonClick();
        ASSERT_TRUE(Ended());
    }
    // The table's rows as paths, "-" for a separator.
    Paths RowPaths()
    {
        Paths paths;
        for (int row = 0; row <= m_form.Table().LastRow(); ++row)
            paths.push_back(m_form.Table().isSeparator(row) ? "-" : m_form.Table().RowPaths(row));
        return paths;
    }
    // The rows the list shows marked, or deleted.
    std::vector<int> Rows(bool marked) const
    {
        std::vector<int> rows;
        for (int row = 0; row < List()->NumItems(); ++row)
            if (marked ? List()->IsMarked(row) : List()->ItemText(row).endsWith(" (Deleted)"))
                rows.push_back(row);
        return rows;
    }
    // A file holding bytes, last written at mtime.
    void Put(const std::string& relative, const std::string& bytes, std::time_t mtime = 1000000000)
    {
        m_tree.file(relative);
        std::ofstream(m_tree.path(relative), std::ios::binary) << bytes;
        const timespec times[2] = {{mtime, 0}, {mtime, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, m_tree.path(relative).c_str(), times, 0), 0);
    }
    // What each audit line says after its date and time.
    std::vector<std::string> Logged() const
    {
        std::vector<std::string> logged;
        const std::string log = ReadWholeFile(m_tree.path("program/audit.txt"));
        for (std::size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos;
             start = end + 2) {
            const std::size_t path = log.find("  ", start) + 2;
            logged.push_back(log.substr(path, end - path));
        }
        return logged;
    }

    TempTree m_tree;
    TestFolders m_folders{m_tree};
    FixedDriveProbe m_probe{{m_tree.path("one/"), m_tree.path("two/")}};
    FixedDriveProbe m_detect{{}};
    FixedFolderChooser m_chooser;
    RecordingMessageBoxes m_messages;
    FakeProgramLauncher m_launcher;
    RecordingHelpViewer m_help;
    RecordingPrinter m_printer;
    FakePrintDialog m_dialog;
    TMainForm m_form{MainServices{m_probe, m_messages, m_launcher, m_help, LocaleSettings::usEnglish()}};
    TAuditForm m_audit{m_messages, m_help, PrintServices{m_printer, m_dialog, {}},
                       LocaleSettings::usEnglish()};
    TDrivesForm m_drivesForm{m_detect, m_chooser, m_help};
    TSizeForm m_sizeForm{m_help};
    TTipForm m_tipForm{0};
    std::vector<std::string> m_modals;                     // the names of the modal windows shown, in order
    std::map<std::string, std::function<int()>> m_answers; // by name; Rejected otherwise
    std::shared_ptr<WalkGate> m_gate = std::make_shared<WalkGate>();
};
