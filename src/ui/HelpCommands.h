// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

class HelpViewer;

// The help requests of a window: the finder, and jumps to a topic by key, always in the help file of
// the program directory (whatever the current directory is by then).
class HelpCommands
{
public:
    static constexpr const char* kHelpFileName = "Lintwick.hlp";

    HelpCommands(HelpViewer& viewer, std::string programDir)
        : m_viewer(viewer), m_programDir(std::move(programDir))
    {}

    std::string HelpFile() const;
    // Help Topics: the viewer's finder.
    void ShowFinder();
    // Opens the file's contents, and only when that worked jumps to the topic.
    void ShowTopic(const std::string& key);

private:
    HelpViewer& m_viewer;
    std::string m_programDir;
};
