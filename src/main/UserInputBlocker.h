// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

// While active, no user input reaches any window of the program: keys, mouse buttons, the wheel,
// shortcuts, context menus, touch and drops are swallowed. Everything else goes on: painting,
// resizing, hovering with its hints, the desktop's requests, closing a window by its title bar.
// Esc pressed in `window` is handed to OnEscape instead.
class UserInputBlocker : public QObject
{
public:
    explicit UserInputBlocker(QWidget* window, QObject* parent = nullptr);
    ~UserInputBlocker() override;

    bool active() const { return m_active; }
    void setActive(bool active);

    std::function<void()> OnEscape;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool inWindow(QObject* watched) const;

    QPointer<QWidget> m_window;
    bool m_active = false;
};
