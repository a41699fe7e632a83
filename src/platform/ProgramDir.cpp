// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProgramDir.h"

#include <memory>
#include <unistd.h>

std::string CurrentProgramDir()
{
    std::unique_ptr<char, decltype(&::free)> cwd(::getcwd(nullptr, 0), &::free);
    if (!cwd)
        return {};
    std::string dir(cwd.get());
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}
