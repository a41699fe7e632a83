// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HelpFileSearch.h"

#include <filesystem>
#include <sys/stat.h>

namespace {

bool IsRegularFile(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

std::string LocateHelpFile(const std::string& helpFile, const std::string& executableDir)
{
    if (IsRegularFile(helpFile))
        return helpFile;
    const std::filesystem::path name = std::filesystem::path(helpFile).filename();
    if (name.empty() || executableDir.empty())
        return {};
    const std::filesystem::path dir(executableDir);
    for (const std::filesystem::path& candidate :
         {dir / name, (dir / ".." / "share" / "lintwick" / name).lexically_normal()}) {
        if (IsRegularFile(candidate.string()))
            return candidate.string();
    }
    return {};
}
