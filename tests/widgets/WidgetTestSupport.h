// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractScrollArea>
#include <QApplication>
#include <QTest>
#include <QWheelEvent>

// Shows the widget and sizes it so that its viewport (client area) has the given size.
inline bool ShowWithViewport(QAbstractScrollArea& area, int width, int height)
{
    area.resize(width + 60, height + 60);
    area.show();
    if (!QTest::qWaitForWindowExposed(&area))
        return false;
    const QSize extra = area.size() - area.viewport()->size();
    area.resize(width + extra.width(), height + extra.height());
    QApplication::processEvents();
    return area.viewport()->size() == QSize(width, height);
}

// A wheel event as a mouse wheel (angle, 120 a notch) or a touchpad (small angles, with pixels) sends it.
inline void SendWheel(QWidget* target, QPoint angle, QPoint pixels = {})
{
    const QPointF pos(10, 10);
    QWheelEvent event(pos, target->mapToGlobal(pos), pixels, angle, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}
