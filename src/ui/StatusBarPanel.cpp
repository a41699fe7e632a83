// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/StatusBarPanel.h"

#include <QAction>
#include <QPainter>
#include <QStyle>

#include <algorithm>

StatusBarPanel::StatusBarPanel(QWidget* parent) : QLabel(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setMargin(1);
    setTextFormat(Qt::PlainText);
}

QRect StatusBarPanel::TextArea() const
{
    return contentsRect().adjusted(margin(), margin(), -margin(), -margin());
}

QString StatusBarPanel::ShownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, TextArea().width());
}

int StatusBarPanel::WidthForHintsOf(const QWidget& window, int designWidth) const
{
    int widest = 0;
    for (const QWidget* widget : window.findChildren<QWidget*>())
        widest = std::max(widest, fontMetrics().horizontalAdvance(widget->statusTip()));
    for (const QAction* action : window.findChildren<QAction*>())
        widest = std::max(widest, fontMetrics().horizontalAdvance(action->statusTip()));
    // The frame, the margins and a little air, as the style may pad the text.
    return std::max(designWidth, widest + 2 * (frameWidth() + margin()) + 8);
}

QSize StatusBarPanel::minimumSizeHint() const
{
    // Room for an ellipsis within the frame and the margins.
    const QMargins around = contentsMargins();
    const int chrome = 2 * (frameWidth() + margin());
    return {fontMetrics().horizontalAdvance(QChar(0x2026)) + chrome + around.left() + around.right(),
            fontMetrics().height() + chrome + around.top() + around.bottom()};
}

QSize StatusBarPanel::sizeHint() const
{
    return minimumSizeHint();
}

void StatusBarPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    style()->drawItemText(&painter, TextArea(), QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), ShownText(), foregroundRole());
}
