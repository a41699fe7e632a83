// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QSize>
#include <QString>

// A label that shows an SVG picture of the program's resources at a fixed size, drawn for the pixel
// ratio of the screen it is on: moved to a screen of another ratio, it draws the picture again, so
// it never shows a blurred enlargement.
class SvgPictureLabel : public QLabel
{
public:
    SvgPictureLabel(QString resource, QSize size, QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;

private:
    // Draws the picture unless it is already drawn for the label's pixel ratio.
    void Redraw();

    QString m_resource;
    QSize m_size;
};
