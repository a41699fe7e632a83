// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MessageBoxes.h"

#include <string>
#include <vector>

// Answers every box at once and remembers what was shown, for tests. Confirm and Question answer
// with confirmAnswer. Beeps are recorded in the same sequence as the boxes, as "beep"; the details of
// a box follow it as "Details".
class RecordingMessageBoxes : public MessageBoxes
{
public:
    struct Shown
    {
        std::string kind; // "Error", "Warning", "Information", "Confirm", "Question", "beep" or "Details"
        std::string text;
        bool operator==(const Shown&) const = default;
    };

    void Error(const std::string& text) override;
    void Warning(const std::string& text) override;
    void Information(const std::string& text) override;
    void InformationWithDetails(const std::string& text, const std::string& details) override;
    bool Confirm(const std::string& text) override;
    bool Question(const std::string& text) override;
    void Beep() override;

    bool confirmAnswer = true;
    std::vector<Shown> shown;
};
