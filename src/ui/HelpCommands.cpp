// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/HelpCommands.h"

#include "platform/HelpViewer.h"

std::string HelpCommands::HelpFile() const
{
    return m_programDir + kHelpFileName;
}

void HelpCommands::ShowFinder()
{
    m_viewer.Finder(HelpFile());
}

void HelpCommands::ShowTopic(const std::string& key)
{
    if (m_viewer.Contents(HelpFile()))
        m_viewer.JumpID(key);
}
