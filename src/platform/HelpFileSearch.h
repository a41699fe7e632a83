// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Where the help viewer reads a help file from: helpFile itself when it names a regular file (the
// copy in the program directory, which the user may have edited); else the file of the same name
// in executableDir, as in a build folder; else in executableDir/../share/lintwick/, where an
// installed program keeps it. Empty when none of them is a regular file.
std::string LocateHelpFile(const std::string& helpFile, const std::string& executableDir);
