// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ReportRunController.h"

#include "main/ReportTexts.h"
#include "platform/MessageBoxes.h"
#include "scan/MaskMatcher.h"
#include "scan/ResultTable.h"
#include "scan/RowForms.h"
#include "widgets/TOvcVirtualListbox.h"

#include <QComboBox>
#include <QLabel>
#include <QMainWindow>

#include <utility>

ReportRunController::ReportRunController(Window window)
    : m_window(std::move(window)),
      // Wide enough for a count of a hundred million.
      m_indicator(
          m_window.window, QStringLiteral("FilesPanel"),
          QString::fromStdString(SizeText(888888888, m_window.table->locale())) +
              QString::fromLatin1(ReportTexts::kFilesExamined),
          [this] { return CountText(); }, [this] { Stop(); })
{}

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
    m_mode = mode;

    ReportRequest request;
    request.roots = roots;
    request.mask = mask;
    request.mode = mode;
    request.sizeThreshold = sizeThreshold;

    m_indicator.begin();

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
    m_window.reportChanged();
    return true;
}

void ReportRunController::RootStarted(const std::string& root)
{
    m_window.statusPanel1->setText(QString::fromLatin1(ReportTexts::kDusting) + QString::fromStdString(root));
}

QString ReportRunController::CountText() const
{
    return QString::fromStdString(SizeText(m_worker.filesExamined(), m_window.table->locale())) +
           QString::fromLatin1(ReportTexts::kFilesExamined);
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

    // The hourglass goes on every way out of the run, a fault included.
    m_indicator.end();
    if (!error.empty()) {
        m_window.statusPanel1->clear();
        m_window.reportChanged();
        m_window.messages->Error(error);
        return;
    }
    const ResultTable& table = *m_window.table;
    m_window.list->SetNumItems(table.LastRow() + 1);
    m_window.statusPanel1->setText(QString::fromStdString(outcome.text));
    if (table.LastRow() == -1)
        m_window.setPrintEnabled(false);
    m_window.reportChanged();
}
