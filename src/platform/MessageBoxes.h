// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The program's modal message boxes and the exclamation beep. Each box waits until the user closes
// it; texts are UTF-8 and shown as plain text, never as markup.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;

    // "Error" box with an OK button.
    virtual void Error(const std::string& text) = 0;
    // "Warning" box with an OK button.
    virtual void Warning(const std::string& text) = 0;
    // "Information" box with an OK button.
    virtual void Information(const std::string& text) = 0;
    // "Information" box with an OK button and details the user can unfold (none when empty): the
    // outcome of a run over many files, each file that failed with its reason in the details.
    virtual void InformationWithDetails(const std::string& text, const std::string& details) = 0;
    // "Confirm" box with OK and Cancel; true only when the user chose OK.
    virtual bool Confirm(const std::string& text) = 0;
    // "Confirm" box with Yes and No, as the desktop asks before it acts on a file; true only for Yes.
    virtual bool Question(const std::string& text) = 0;
    virtual void Beep() = 0;
};
