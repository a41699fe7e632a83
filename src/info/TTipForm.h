// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "info/TipCycle.h"

#include <QDialog>

#include <optional>

class QFrame;
class QLabel;
class QPushButton;

// The "Data Quality Control Tip" dialog: one tip at a time, shown modally. The main window advances
// it before every showing, so each showing brings a tip other than the one seen last.
class TTipForm : public QDialog
{
public:
    // start: the index before the one advance made at creation; without it a random one, so each run
    // of the program begins somewhere else in the tips.
    explicit TTipForm(std::optional<int> start = std::nullopt, QWidget* parent = nullptr);

    // Next tip, with wrap-around after the last.
    void NextTipButtonClick();
    // Closes the window, which ends its modal showing.
    void Button2Click();

    int TipIndex() const { return m_tips.Index(); }
    QLabel* TipLabel() const { return m_tipLabel; }
    QPushButton* NextTipButton() const { return m_nextTipButton; }
    QPushButton* CloseButton() const { return m_button2; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();

    TipCycle m_tips;
    QFrame* m_panel1 = nullptr;
    QLabel* m_image1 = nullptr;
    QLabel* m_tipLabel = nullptr;
    QPushButton* m_nextTipButton = nullptr;
    QPushButton* m_button2 = nullptr;
};
