// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The print dialog of the process's printer: the user picks a printer (or a PDF file) and copies, and
// the choice goes to the printer object. Modal.
class PrintDialog
{
public:
    virtual ~PrintDialog() = default;

    // True when the user confirmed; false leaves the printer as it was.
    virtual bool Execute() = 0;
};

// Answers with a set answer and counts how often it was asked, for tests.
class FakePrintDialog : public PrintDialog
{
public:
    bool Execute() override
    {
        ++timesShown;
        return answer;
    }

    bool answer = true;
    int timesShown = 0;
};
