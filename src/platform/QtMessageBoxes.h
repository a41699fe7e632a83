// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MessageBoxes.h"

#include <functional>

class QWidget;

// QMessageBox, modal over the program's active window and centred on the screen. Texts are plain
// text: a file named "<b>x</b>.txt" keeps its angle brackets.
class QtMessageBoxes : public MessageBoxes
{
public:
    void Error(const std::string& text) override;
    void Warning(const std::string& text) override;
    void Information(const std::string& text) override;
    void InformationWithDetails(const std::string& text, const std::string& details) override;
    bool Confirm(const std::string& text) override;
    bool Question(const std::string& text) override;
    void Beep() override;

    // Called with each box just before it runs, so that a test can answer it.
    std::function<void(QWidget* box)> beforeShowing;
};
