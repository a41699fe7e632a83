// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "print/ProgressWindow.h"

#include <QWidget>

class QFrame;
class QLabel;

// The small window that tells the user what the printer is doing while a line printer prints: status,
// job title and page number. A tool window that stays on top, with no buttons and no close box, that
// cannot be resized; the user can still move it by its caption. It only shows what it is told.
class TPrntProgDlg : public QWidget, public ProgressWindow
{
public:
    explicit TPrntProgDlg(QWidget* parent = nullptr);

    bool progressVisible() const override { return isVisible(); }
    void showProgress() override { show(); }
    void hideProgress() override { hide(); }
    void setProgressStatus(const std::string& status) override;
    void setProgressTitle(const std::string& title) override;
    void setProgressPageNumber(const std::string& pageNumber) override;
    void repaintProgress() override { repaint(); }

    QString statusText() const;
    QString titleText() const;
    QString pageNumberText() const;

private:
    QFrame* m_bevel = nullptr;
    QLabel* m_lblStatus = nullptr;
    QLabel* m_lblTitle = nullptr;
    QLabel* m_lblPageNumDesc = nullptr;
    QLabel* m_lblPageNumber = nullptr;
};
