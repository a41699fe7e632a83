// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

#include <functional>

// A label that acts as a link: underlined, in the palette's link colour, a hand cursor, and OnClick
// on a click of the primary button or on Enter or Space while it has the keyboard focus (it takes the
// focus by Tab and then shows a focus frame). Screen readers see a link with a press action.
class LinkLabel : public QLabel
{
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

    // Follows the link, as a click does.
    void Activate();

    std::function<void()> OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
