// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// One section of a status bar: its text on one line, as plain text, elided in the middle when it is
// wider than the section. The section's size never follows its text, so a long text can neither
// push a window wider nor spill over the next section; the layout alone decides its width.
class StatusBarPanel : public QLabel
{
public:
    explicit StatusBarPanel(QWidget* parent = nullptr);

    // The text as it is painted at the section's present width.
    QString ShownText() const;
    // At least designWidth, or wider when the longest status tip of window's controls and menu items
    // needs it, so that no hint of that window is cut.
    int WidthForHintsOf(const QWidget& window, int designWidth) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect TextArea() const;
};
