// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/MenuShortcutFilter.h"

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

MenuShortcutFilter::MenuShortcutFilter(QWidget* window) : QObject(window), m_window(window) {}

bool MenuShortcutFilter::eventFilter(QObject* watched, QEvent* event)
{
    // A control claims a key for itself by accepting its ShortcutOverride; refusing that claim for
    // every control of the window leaves the key to the window's shortcuts.
    if (event->type() != QEvent::ShortcutOverride || !m_window)
        return QObject::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != m_window)
        return QObject::eventFilter(watched, event);
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    for (const QAction* action : m_window->findChildren<QAction*>()) {
        if (action->isEnabled() && action->shortcutContext() != Qt::WidgetShortcut &&
            action->shortcutContext() != Qt::WidgetWithChildrenShortcut &&
            action->shortcuts().contains(pressed)) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
