// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProgramLauncher.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

// Starts nothing: answers with the result set for each program name (kNotFound for names it was not
// told about) and records every call, for tests.
class FakeProgramLauncher : public ProgramLauncher
{
public:
    int LaunchProgram(const std::string& program, const std::string& parameter) override;

    std::map<std::string, int> results;
    std::vector<std::pair<std::string, std::string>> calls; // program, parameter
};
