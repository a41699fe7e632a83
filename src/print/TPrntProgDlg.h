// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "print/ProgressWindow.h"

#include <QWidget>

class QFrame;
class QLabel;

// The small window that tells the user what the printer is doing while a line printer prints: status,
// job title and page number. A tool window that stays on top, with no buttons and no close box, that
// cannot be resized and takes no focus; the user can still move it by its caption. It only shows what
// it is told.
//
// A print run keeps the window thread busy, so the window lets the event loop run (without user
// input) whenever it shows or repaints: that is what maps it and puts its new texts on the screen.
class TPrntProgDlg : public QWidget, public ProgressWindow
{
public:
    explicit TPrntProgDlg(QWidget* parent = nullptr);

    bool progressVisible() const override { return isVisible(); }
    // Shows the window and waits, a quarter of a second at most, until the display has mapped it.
    void showProgress() override;
    void hideProgress() override { hide(); }
    void setProgressStatus(const std::string& status) override;
    void setProgressTitle(const std::string& title) override;
    void setProgressPageNumber(const std::string& pageNumber) override;
    void repaintProgress() override;

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
