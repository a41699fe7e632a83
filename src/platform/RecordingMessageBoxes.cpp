// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RecordingMessageBoxes.h"

void RecordingMessageBoxes::Error(const std::string& text)
{
    shown.push_back({"Error", text});
}

void RecordingMessageBoxes::Warning(const std::string& text)
{
    shown.push_back({"Warning", text});
}

void RecordingMessageBoxes::Information(const std::string& text)
{
    shown.push_back({"Information", text});
}

void RecordingMessageBoxes::InformationWithDetails(const std::string& text, const std::string& details)
{
    shown.push_back({"Information", text});
    shown.push_back({"Details", details});
}

bool RecordingMessageBoxes::Confirm(const std::string& text)
{
    shown.push_back({"Confirm", text});
    return confirmAnswer;
}

bool RecordingMessageBoxes::Question(const std::string& text)
{
    shown.push_back({"Question", text});
    return confirmAnswer;
}

void RecordingMessageBoxes::Beep()
{
    shown.push_back({"beep", {}});
}
