// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/UserInputBlocker.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWindow>

UserInputBlocker::UserInputBlocker(QWidget* window, QObject* parent) : QObject(parent), m_window(window) {}

UserInputBlocker::~UserInputBlocker()
{
    setActive(false);
}

void UserInputBlocker::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    if (active)
        QCoreApplication::instance()->installEventFilter(this);
    else
        QCoreApplication::instance()->removeEventFilter(this);
}

bool UserInputBlocker::inWindow(QObject* watched) const
{
    if (!m_window)
        return false;
    if (watched->isWidgetType())
        return static_cast<QWidget*>(watched)->window() == m_window;
    // Keys reach the window's QWindow before its widgets.
    return watched == m_window->windowHandle();
}

bool UserInputBlocker::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && inWindow(watched) && OnEscape)
            OnEscape();
        return true;
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}
