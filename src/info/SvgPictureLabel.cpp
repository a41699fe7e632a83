// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/SvgPictureLabel.h"

#include "info/SvgPicture.h"

#include <QEvent>

SvgPictureLabel::SvgPictureLabel(QString resource, QSize size, QWidget* parent)
    : QLabel(parent), m_resource(std::move(resource)), m_size(size)
{
    Redraw();
}

bool SvgPictureLabel::event(QEvent* event)
{
    // Qt tells a window's widgets when the window moves to another screen; a first showing may
    // also put a hidden window on a screen other than the one the picture was drawn for.
    if (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::Show)
        Redraw();
    return QLabel::event(event);
}

void SvgPictureLabel::Redraw()
{
    const qreal ratio = devicePixelRatioF();
    if (!pixmap().isNull() && pixmap().devicePixelRatio() == ratio)
        return;
    setPixmap(SvgPixmap(m_resource, m_size, ratio));
}
