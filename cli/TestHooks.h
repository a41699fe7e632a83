// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

class InterruptStop;

// Seams for the tests of lintwick-report, which run a build of the tool made for them. The installed
// program links NoTestHooks.cpp, which leaves every hook empty; nothing of the tests ships in it.
struct TestHooks
{
    // Handed to the run: called with each directory's path after it was read.
    std::function<void(const std::string& directory)> afterDirectoryRead;
    // Called after the head of the report and after each block of rows is written.
    std::function<void()> afterWrite;
    // Handed to the content check: called with a file's path before it is read beyond its first 4 KiB.
    std::function<void(const std::string& path)> beforeWholeRead;
};

TestHooks MakeTestHooks(const InterruptStop& interrupt);
