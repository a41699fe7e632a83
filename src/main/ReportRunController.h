// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/ReportWorker.h"
#include "main/RunIndicator.h"
#include "scan/ScanMode.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class MessageBoxes;
class QComboBox;
class QLabel;
class QMainWindow;
class ResultTable;
class StatusBarPanel;
class TOvcVirtualListbox;

// The part of a report command after its question: the mask check, the reset of the old report, the
// walk on a ReportWorker thread and the report shown when it ends. While the walk runs the window
// keeps painting and answering the desktop but takes no user command; Esc in it stops the run, and
// a status section of its own counts the files examined a few times a second.
class ReportRunController : public QObject
{
public:
    // The main window's parts a run works on; they outlive the controller.
    struct Window
    {
        QMainWindow* window;
        QComboBox* mask;
        TOvcVirtualListbox* list;
        QLabel* statusPanel1;
        MessageBoxes* messages;
        ResultTable* table;
        std::function<void(bool enabled)> setPrintEnabled;
        // The report on screen went (a run began) or a new one is shown.
        std::function<void()> reportChanged;
    };

    explicit ReportRunController(Window window);

    // Checks the mask: an empty one gets its error box and the focus, and nothing changes (false).
    // Otherwise the old report goes, the hourglass shows and the walk of roots begins (true); the
    // report follows when the walk ends. Refused (false) while a run is under way.
    bool Start(ScanMode mode, const std::vector<std::string>& roots, std::int64_t sizeThreshold = 0);
    bool Running() const { return m_worker.running(); }
    // Ends the walk early; what was found so far becomes the report.
    void Stop() { m_worker.stop(); }
    // The mode of the last run, whose report is on screen once it ended.
    ScanMode Mode() const { return m_mode; }

    // The status section with the count of files examined, shown during a run only.
    StatusBarPanel* FilesPanel() const { return m_indicator.panel(); }
    // The worker, for its test hook and the program's end.
    ReportWorker& Worker() { return m_worker; }

private:
    void RootStarted(const std::string& root);
    QString CountText() const;
    void Finished();

    Window m_window;
    ReportWorker m_worker;
    RunIndicator m_indicator;
    ScanMode m_mode = ScanMode::Duplicates;
};
