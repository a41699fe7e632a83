// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// The rules of the drive selection dialog's list, apart from the widget. The list holds directory
// roots ending in "/", sorted in byte order, each once.

// Where root belongs in the sorted list, or -1 when the list holds it already.
int RootInsertPosition(const std::vector<std::string>& roots, const std::string& root);

// A chosen folder as a root of the list: its path with one trailing "/".
std::string FolderRoot(std::string folder);

// Disable: every selected root goes, except that the list never drops below one root; the root
// that stays when all are selected is the last one. selected[i] tells whether roots[i] is selected.
// Returns which indexes to remove, in descending order so that they can be removed one by one.
std::vector<int> RootsToDisable(const std::vector<bool>& selected);

// The Disable button is enabled exactly when something is selected and the list does not hold
// exactly one root.
bool DisableEnabled(int selectedCount, int rootCount);
