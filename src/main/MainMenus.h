// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class TMainForm;

// The menus of the main window: the menu bar and the list's pop-up menu. Every item runs its handler
// through the window's guard (TMainForm::Command), so that during a run only Exit is taken; the items
// the window enables and disables are kept in its fields.
class MainMenus
{
public:
    static void BuildMenuBar(TMainForm& form);
    static void BuildPopupMenu(TMainForm& form);
};
