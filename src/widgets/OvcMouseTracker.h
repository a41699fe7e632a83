// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QTimer>

#include <functional>

// Follows the mouse while the primary button, pressed in a widget, stays down: each move and, while
// the mouse rests, each tick of a timer report the last position, so that a selection dragged
// outside the widget keeps scrolling. Tracking ends with the release; it also ends, as a lost
// release, when a tick or a move finds the button no longer held (the release went to a popup or a
// modal window) or when the widget loses the focus.
class OvcMouseTracker
{
public:
    static constexpr int kIntervalMs = 50;

    // onTrack: the position to follow, in the widget's coordinates. onLost: tracking ended without
    // a release reaching the widget.
    OvcMouseTracker(std::function<void(const QPoint& position)> onTrack, std::function<void()> onLost);

    bool IsActive() const { return m_active; }
    const QPoint& Position() const { return m_position; }

    // The press: starts tracking at position.
    void Start(const QPoint& position);
    // A move with the buttons it reports; follows position, or ends as lost without the button.
    void Move(const QPoint& position, Qt::MouseButtons buttons);
    // The release reached the widget: ends quietly.
    void Stop();
    // The widget lost the focus: ends as lost.
    void Lose();

private:
    void Tick();

    std::function<void(const QPoint&)> m_onTrack;
    std::function<void()> m_onLost;
    QTimer m_timer;
    QPoint m_position;
    bool m_active = false;
};
