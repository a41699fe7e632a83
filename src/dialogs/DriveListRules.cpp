// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DriveListRules.h"

#include <algorithm>

int RootInsertPosition(const std::vector<std::string>& roots, const std::string& root)
{
    // std::string compares its bytes as unsigned char: byte order.
    const auto at = std::lower_bound(roots.begin(), roots.end(), root);
    if (at != roots.end() && *at == root)
        return -1;
    return static_cast<int>(at - roots.begin());
}

std::string FolderRoot(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder != "/")
        folder += '/';
    return folder;
}

std::vector<int> RootsToDisable(const std::vector<bool>& selected)
{
    // Walks the list as it shrinks: a selected root goes while more than one is left.
    std::vector<int> removed;
    size_t left = selected.size();
    for (size_t i = 0; i < selected.size(); ++i) {
        if (selected[i] && left > 1) {
            removed.push_back(static_cast<int>(i));
            --left;
        }
    }
    std::reverse(removed.begin(), removed.end());
    return removed;
}

bool DisableEnabled(int selectedCount, int rootCount)
{
    return selectedCount > 0 && rootCount != 1;
}
