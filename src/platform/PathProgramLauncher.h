// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProgramLauncher.h"

// Looks programs up on PATH and starts them with QProcess::startDetached.
class PathProgramLauncher : public ProgramLauncher
{
public:
    int LaunchProgram(const std::string& program, const std::string& parameter) override;
};
