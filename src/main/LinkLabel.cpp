// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/LinkLabel.h"

#include "main/LinkLabelAccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace {

QAccessibleInterface* LinkLabelAccessibleFactory(const QString&, QObject* object)
{
    if (auto* link = dynamic_cast<LinkLabel*>(object))
        return new LinkLabelAccessible(link);
    return nullptr;
}

} // namespace

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&LinkLabelAccessibleFactory);
        return true;
    }();
    (void)factoryInstalled;
    // Set only now: setting the text may create the label's accessible interface, which has to
    // see a link.
    setText(text);
    QFont linkFont = font();
    linkFont.setUnderline(true);
    setFont(linkFont);
    // The palette's own link colour stays readable on a dark desktop, and follows a theme change.
    setForegroundRole(QPalette::Link);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void LinkLabel::Activate()
{
    if (OnClick)
        OnClick();
}

void LinkLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.backgroundColor = palette().color(backgroundRole());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick) {
        Activate();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void LinkLabel::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) &&
        OnClick) {
        Activate();
        return;
    }
    QLabel::keyPressEvent(event);
}
