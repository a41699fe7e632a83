// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/RunIndicator.h"

#include "ui/StatusBarPanel.h"

#include <QApplication>
#include <QMainWindow>
#include <QStatusBar>

RunIndicator::RunIndicator(QMainWindow* window, const QString& name, const QString& widest,
                           std::function<QString()> progress, std::function<void()> stop)
    : m_progress(std::move(progress)), m_blocker(window)
{
    m_blocker.OnEscape = std::move(stop);
    m_timer.setInterval(kInterval);
    connect(&m_timer, &QTimer::timeout, this, &RunIndicator::Refresh);

    m_panel = new StatusBarPanel;
    m_panel->setObjectName(name);
    m_panel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_panel->setMinimumWidth(m_panel->fontMetrics().horizontalAdvance(widest) + 12);
    window->statusBar()->addWidget(m_panel);
    m_panel->hide();
}

RunIndicator::~RunIndicator()
{
    if (m_hourglass)
        QApplication::restoreOverrideCursor();
}

void RunIndicator::begin()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_hourglass = true;
    m_blocker.setActive(true);
    Refresh();
    m_panel->show();
    m_timer.start();
}

void RunIndicator::end()
{
    m_timer.stop();
    m_panel->hide();
    m_blocker.setActive(false);
    if (m_hourglass)
        QApplication::restoreOverrideCursor();
    m_hourglass = false;
}

void RunIndicator::Refresh()
{
    m_panel->setText(m_progress());
}
