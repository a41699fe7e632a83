// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/StatusTipFilter.h"

#include <QStatusTipEvent>

bool StatusTipFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::StatusTip || !OnHint)
        return QObject::eventFilter(watched, event);
    // A status tip travels from the control up through its parents; taking it at the first step
    // shows it once and keeps QMainWindow from writing it over the panels as a temporary message.
    OnHint(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
}
