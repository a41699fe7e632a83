// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ContentCompareController.h"

#include "main/ReportTexts.h"
#include "platform/MessageBoxes.h"
#include "scan/ResultTable.h"
#include "scan/RowForms.h"

#include <QLabel>

#include <atomic>

struct ContentCompareController::State
{
    std::shared_ptr<const ResultTable> table;
    ContentCheck check;
    std::atomic<std::int64_t> done = 0;
    std::atomic<std::int64_t> total = 0;
    ContentClasses found;
};

ContentCompareController::ContentCompareController(Window window)
    : m_window(std::move(window)),
      m_indicator(
          m_window.window, QStringLiteral("BytesPanel"),
          QString::fromStdString(ByteSizeText(1023, m_window.table->locale()) + ReportTexts::kBytesOf +
                                 ByteSizeText(1023, m_window.table->locale())),
          [this] { return ProgressText(); }, [this] { Stop(); })
{}

bool ContentCompareController::Start()
{
    if (Running())
        return false;
    auto state = std::make_shared<State>();
    state->table = m_window.table;
    state->check.beforeWholeRead = beforeWholeRead;
    m_state = state;
    m_window.statusPanel1->setText(QString::fromLatin1(ReportTexts::kComparing));
    m_indicator.begin();
    // The end reaches the window thread as a queued call, which Qt drops once this object is gone.
    const auto job = [state](WorkerThread::Link& link) {
        const ContentProgress progress = [&](std::int64_t done, std::int64_t total) {
            state->done.store(done, std::memory_order_relaxed);
            state->total.store(total, std::memory_order_relaxed);
        };
        state->found = state->check.run(*state->table, progress, &link.stop);
    };
    m_thread.start(job, [this] {
        QMetaObject::invokeMethod(this, &ContentCompareController::Finished, Qt::QueuedConnection);
    });
    return true;
}

QString ContentCompareController::ProgressText() const
{
    if (!m_state)
        return {};
    const LocaleSettings& locale = m_window.table->locale();
    return QString::fromStdString(ByteSizeText(m_state->done.load(std::memory_order_relaxed), locale) +
                                  ReportTexts::kBytesOf +
                                  ByteSizeText(m_state->total.load(std::memory_order_relaxed), locale));
}

void ContentCompareController::Finished()
{
    const std::shared_ptr<State> state = std::move(m_state);
    const bool failed = !m_thread.joinWithoutFault();
    m_indicator.end();
    if (failed) {
        m_window.statusPanel1->clear();
        m_window.ended(nullptr);
        m_window.messages->Error(ReportTexts::kCompareFailed);
        return;
    }
    m_window.statusPanel1->setText(QString::fromStdString(state->found.outcomeText()));
    m_window.ended(&state->found);
}
