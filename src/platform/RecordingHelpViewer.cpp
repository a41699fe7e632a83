// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RecordingHelpViewer.h"

void RecordingHelpViewer::Finder(const std::string& helpFile)
{
    requests.push_back("Finder " + helpFile);
}

bool RecordingHelpViewer::Contents(const std::string& helpFile)
{
    requests.push_back("Contents " + helpFile);
    return contentsResult;
}

void RecordingHelpViewer::JumpID(const std::string& key)
{
    requests.push_back("JumpID " + key);
}
