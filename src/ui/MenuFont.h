// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QMenu;
class QMenuBar;

// Drop-down menus are windows of their own, which take the desktop's font unless given their bar's;
// the pop-up menu, when there is one, gets the bar's font too.
void GiveMenusTheFontOf(const QMenuBar* bar, QMenu* popup = nullptr);
