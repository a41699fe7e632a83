// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Lets the shortcuts of a window's actions win over the keys its controls would keep for themselves,
// as on the classic desktop: in the main window Ctrl+A opens the audit report even while a text field,
// which would select all with it, has the focus. Install it on the application object; it acts only
// on the window it was made for and only on shortcuts of enabled actions.
class MenuShortcutFilter : public QObject
{
public:
    explicit MenuShortcutFilter(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
};
