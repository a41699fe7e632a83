// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ReportRunController.h"

#include "main/ReportTexts.h"
#include "platform/MessageBoxes.h"
#include "scan/MaskMatcher.h"
#include "scan/ResultTable.h"
#include "scan/RowForms.h"
#include "ui/StatusBarPanel.h"
#include "widgets/TOvcVirtualListbox.h"

#include <QApplication>
#include <QComboBox>
#include <QMainWindow>
#include <QStatusBar>

#include <utility>

ReportRunController::ReportRunController(Window window)
    : m_window(std::move(window)), m_blocker(m_window.window)
{
    m_blocker.OnEscape = [this] { Stop(); };
    m_countTimer.setInterval(kCountInterval);
    connect(&m_countTimer, &QTimer::timeout, this, &ReportRunController::ShowCount);

    m_filesPanel = new StatusBarPanel;
    m_filesPanel->setObjectName(QStringLiteral("FilesPanel"));
    m_filesPanel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Wide enough for a count of a hundred million, so that the section does not grow as it counts.
    const QString widest = QString::fromStdString(SizeText(888888888, m_window.table->locale())) +
                           QString::fromLatin1(ReportTexts::kFilesExamined);
    m_filesPanel->setMinimumWidth(m_filesPanel->fontMetrics().horizontalAdvance(widest) + 12);
    m_window.window->statusBar()->addWidget(m_filesPanel);
    m_filesPanel->hide();
}

ReportRunController::~ReportRunController()
{
    if (m_hourglass)
        QApplication::restoreOverrideCursor();
}

bool ReportRunController::Start(ScanMode mode, const std::vector<std::string>& roots,
                                std::int64_t sizeThreshold)
{
    if (Running())
        return false;
    const std::string mask(TrimControlAndBlanks(m_window.mask->currentText().toStdString()));
    if (mask.empty()) {
        m_window.messages->Error(ReportTexts::kMaskMissing);
        m_window.mask->setFocus();
        return false;
    }

    // The old report goes at once: the list shows none of its rows, and the walk refills the old
    // table's memory while the window keeps an empty table of its own to answer the list with.
    ResultTable table = std::exchange(*m_window.table, ResultTable(m_window.table->locale()));
    m_window.setPrintEnabled(false);
    m_window.list->SetNumItems(0);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_hourglass = true;

    ReportRequest request;
    request.roots = roots;
    request.mask = mask;
    request.mode = mode;
    request.sizeThreshold = sizeThreshold;

    m_blocker.setActive(true);
    ShowCount();
    m_filesPanel->show();
    m_countTimer.start();

    // The worker's news reaches the window thread as queued calls; the worker stops telling before
    // this object goes, and Qt drops calls still queued for it then.
    ReportWorker::Listener listener;
    listener.rootStarted = [this](const std::string& root) {
        QMetaObject::invokeMethod(
            this, [this, root] { RootStarted(root); }, Qt::QueuedConnection);
    };
    listener.finished = [this] {
        QMetaObject::invokeMethod(this, &ReportRunController::Finished, Qt::QueuedConnection);
    };
    m_worker.start(std::move(request), std::move(table), std::move(listener));
    return true;
}

void ReportRunController::RootStarted(const std::string& root)
{
    m_window.statusPanel1->setText(QString::fromLatin1(ReportTexts::kDusting) + QString::fromStdString(root));
}

void ReportRunController::ShowCount()
{
    m_filesPanel->setText(
        QString::fromStdString(SizeText(m_worker.filesExamined(), m_window.table->locale())) +
        QString::fromLatin1(ReportTexts::kFilesExamined));
}

void ReportRunController::Finished()
{
    ReportOutcome outcome;
    std::string error;
    try {
        outcome = m_worker.finish(*m_window.table);
    } catch (const std::exception& e) {
        error = *e.what() ? e.what() : ReportTexts::kRunFailed;
    } catch (...) {
        error = ReportTexts::kRunFailed;
    }

    m_countTimer.stop();
    m_filesPanel->hide();
    m_blocker.setActive(false);
    // Restored on every way out of the run, a fault included.
    QApplication::restoreOverrideCursor();
    m_hourglass = false;

    if (!error.empty()) {
        m_window.statusPanel1->clear();
        m_window.messages->Error(error);
        return;
    }
    const ResultTable& table = *m_window.table;
    m_window.list->SetNumItems(table.LastRow() + 1);
    m_window.statusPanel1->setText(QString::fromStdString(outcome.text));
    if (table.LastRow() == -1)
        m_window.setPrintEnabled(false);
}
