// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

class QWidget;

// Pictures drawn from the SVG files in the program's resources, sharp at the screen's pixel ratio.
// A missing or broken file gives a null pixmap or an empty icon.
QPixmap SvgPixmap(const QString& resource, const QSize& size, qreal devicePixelRatio);
QIcon SvgIcon(const QString& resource, const QSize& size);

// Places a top-level window in the middle of the primary screen's free area.
void CentreOnScreen(QWidget& window);
