// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

class QWidget;

// A picture drawn from an SVG file of the program's resources, sharp at the given pixel ratio.
// A missing or broken file gives a null pixmap.
QPixmap SvgPixmap(const QString& resource, const QSize& size, qreal devicePixelRatio);

// Places a top-level window in the middle of the primary screen's free area.
void CentreOnScreen(QWidget& window);
