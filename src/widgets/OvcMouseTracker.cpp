// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/OvcMouseTracker.h"

#include <QGuiApplication>

OvcMouseTracker::OvcMouseTracker(std::function<void(const QPoint&)> onTrack, std::function<void()> onLost)
    : m_onTrack(std::move(onTrack)), m_onLost(std::move(onLost))
{
    m_timer.setInterval(kIntervalMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
}

void OvcMouseTracker::Start(const QPoint& position)
{
    m_position = position;
    m_active = true;
    m_timer.start();
}

void OvcMouseTracker::Move(const QPoint& position, Qt::MouseButtons buttons)
{
    if (!m_active)
        return;
    if (!(buttons & Qt::LeftButton)) {
        Lose();
        return;
    }
    m_position = position;
    m_onTrack(m_position);
}

void OvcMouseTracker::Stop()
{
    m_active = false;
    m_timer.stop();
}

void OvcMouseTracker::Lose()
{
    if (!m_active)
        return;
    Stop();
    m_onLost();
}

void OvcMouseTracker::Tick()
{
    // The application's button state follows every mouse event it receives, also those that went
    // to another of its windows.
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
        Lose();
        return;
    }
    m_onTrack(m_position);
}
