// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/SvgPicture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QWidget>

QPixmap SvgPixmap(const QString& resource, const QSize& size, qreal devicePixelRatio)
{
    QSvgRenderer renderer(resource);
    if (!renderer.isValid())
        return {};
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QIcon SvgIcon(const QString& resource, const QSize& size)
{
    QIcon icon;
    // Two ratios cover ordinary and doubled screens; Qt derives the disabled look from these.
    for (const qreal ratio : {1.0, 2.0}) {
        const QPixmap pixmap = SvgPixmap(resource, size, ratio);
        if (!pixmap.isNull())
            icon.addPixmap(pixmap);
    }
    return icon;
}

void CentreOnScreen(QWidget& window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
}
