// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

#include <functional>

// A label that acts as a link: blue, underlined, a hand cursor, and OnClick on a click of the primary
// button or on Enter or Space while it has the keyboard focus (it takes the focus by Tab).
class LinkLabel : public QLabel
{
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

    std::function<void()> OnClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
