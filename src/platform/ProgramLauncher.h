// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Starts other programs, such as the web browser.
class ProgramLauncher
{
public:
    static constexpr int kStarted = 0;
    static constexpr int kNotFound = 2;
    static constexpr int kFailed = 1;

    virtual ~ProgramLauncher() = default;

    // Starts program (a bare name is looked up on PATH) with parameter as its one argument, detached
    // from this process and without a shell. Returns kStarted, kNotFound when there is no such
    // executable, or kFailed when it exists but could not be started.
    virtual int LaunchProgram(const std::string& program, const std::string& parameter) = 0;
};
