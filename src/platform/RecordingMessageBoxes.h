// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MessageBoxes.h"

#include <string>
#include <vector>

// Answers every box at once and remembers what was shown, for tests. Confirm and Question answer
// with confirmAnswer. Beeps are recorded in the same sequence as the boxes, as "beep".
class RecordingMessageBoxes : public MessageBoxes
{
public:
    struct Shown
    {
        std::string kind; // "Error", "Warning", "Information", "Confirm", "Question" or "beep"
        std::string text;
        bool operator==(const Shown&) const = default;
    };

    void Error(const std::string& text) override;
    void Warning(const std::string& text) override;
    void Information(const std::string& text) override;
    bool Confirm(const std::string& text) override;
    bool Question(const std::string& text) override;
    void Beep() override;

    bool confirmAnswer = true;
    std::vector<Shown> shown;
};
