// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>

// Drop-down menus are windows of their own, which take the desktop's font unless given their bar's;
// the pop-up menu, when there is one, gets the bar's font too.
inline void GiveMenusTheFontOf(const QMenuBar* bar, QMenu* popup = nullptr)
{
    for (QAction* item : bar->actions()) {
        if (item->menu())
            item->menu()->setFont(bar->font());
    }
    if (popup)
        popup->setFont(bar->font());
}
