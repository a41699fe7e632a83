// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The help viewer: shows the topics of an HTML help file by their keys. A file that is not where
// helpFile says is looked for beside the executable, then where an installed program keeps it
// (LocateHelpFile); what cannot be found is reported by the viewer itself, so callers check nothing.
class HelpViewer
{
public:
    virtual ~HelpViewer() = default;

    // Opens helpFile and shows the finder: the contents (every topic heading) and the index.
    virtual void Finder(const std::string& helpFile) = 0;
    // Opens helpFile at its first topic. False, after the viewer's own message, when it cannot be read.
    virtual bool Contents(const std::string& helpFile) = 0;
    // Shows the topic whose heading carries key as its id, in the file opened last.
    virtual void JumpID(const std::string& key) = 0;
};
