// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FakeProgramLauncher.h"

int FakeProgramLauncher::LaunchProgram(const std::string& program, const std::string& parameter)
{
    calls.emplace_back(program, parameter);
    const auto found = results.find(program);
    return found == results.end() ? kNotFound : found->second;
}
