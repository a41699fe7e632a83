// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MenuFont.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

void GiveMenusTheFontOf(const QMenuBar* bar, QMenu* popup)
{
    for (QAction* item : bar->actions()) {
        if (item->menu())
            item->menu()->setFont(bar->font());
    }
    if (popup)
        popup->setFont(bar->font());
}
