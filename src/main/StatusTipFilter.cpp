// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/StatusTipFilter.h"

#include <QStatusTipEvent>
#include <QWidget>

bool StatusTipFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::StatusTip || !OnHint)
        return QObject::eventFilter(watched, event);
    // Not the active window: a dialog's controls give hints while the dialog is still opening, and the
    // main window is the active one until it has opened.
    const QWidget* window = watched->isWidgetType() ? static_cast<QWidget*>(watched)->window() : nullptr;
    while (window && window->windowType() == Qt::Popup && window->parentWidget())
        window = window->parentWidget()->window();
    // A status tip travels from the control up through its parents; taking it at the first step
    // shows it once and keeps QMainWindow from writing it over the panels as a temporary message.
    OnHint(window, static_cast<QStatusTipEvent*>(event)->tip());
    return true;
}
