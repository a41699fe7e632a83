// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/OvcTypes.h"

#include <QAbstractScrollArea>

#include <cstdint>
#include <functional>
#include <memory>

class QKeyEvent;
class TOvcController;

// Common base of the list box and the viewer: the link to the window's controller, which turns keys
// into commands, and the AfterEnter/AfterExit notifications.
class TOvcBase : public QAbstractScrollArea
{
public:
    explicit TOvcBase(QWidget* parent = nullptr);

    // The window's controller. Held weakly: when the window drops it, the widget has none and keys fall
    // through to Qt's own handling.
    std::shared_ptr<TOvcController> Controller() const { return m_controller.lock(); }
    void SetController(const std::shared_ptr<TOvcController>& controller) { m_controller = controller; }
    // The controller, or ENoControllerAssigned "No Controller assigned" when there is none.
    std::shared_ptr<TOvcController> RequireController() const;

    // Fired from the event loop after the widget gained or lost the focus, so that a handler may move
    // the focus again without re-entering Qt's focus change.
    std::function<void(TOvcBase* sender)> AfterEnter;
    std::function<void(TOvcBase* sender)> AfterExit;

protected:
    // The command of a key press; ccNoCommand without a controller.
    std::uint16_t TranslateKey(const QKeyEvent& event) const;

    // Shows the scroll bars that bars names (always, so that they stay put while the content changes).
    void ApplyScrollBars(TScrollStyle bars);
    void ApplyBorderStyle(TBorderStyle style);

    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    std::weak_ptr<TOvcController> m_controller;
};
