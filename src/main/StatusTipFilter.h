// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

// Catches every status tip of the application (the long hint of the control under the mouse or of
// the highlighted menu item, empty when there is none) and hands it to OnHint with the window that
// holds the control, instead of Qt's own status bar message. A menu's items count as the window's
// the menu drops from. Install it on the application object.
class StatusTipFilter : public QObject
{
public:
    explicit StatusTipFilter(QObject* parent = nullptr) : QObject(parent) {}

    std::function<void(const QWidget* window, const QString& hint)> OnHint;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
