// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TOvcBase.h"

#include "widgets/EOvcException.h"
#include "widgets/OvcCommands.h"
#include "widgets/OvcKeyEvent.h"
#include "widgets/TOvcController.h"

#include <QKeyEvent>

TOvcBase::TOvcBase(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

std::shared_ptr<TOvcController> TOvcBase::RequireController() const
{
    auto controller = m_controller.lock();
    if (!controller)
        throw ENoControllerAssigned();
    return controller;
}

std::uint16_t TOvcBase::TranslateKey(const QKeyEvent& event) const
{
    const auto controller = m_controller.lock();
    if (!controller)
        return ccNoCommand;
    const OvcKey key = OvcKeyFromEvent(event);
    return controller->Translate(key.Key, key.Shift);
}

void TOvcBase::ApplyScrollBars(TScrollStyle bars)
{
    const bool vertical = bars == TScrollStyle::ssVertical || bars == TScrollStyle::ssBoth;
    const bool horizontal = bars == TScrollStyle::ssHorizontal || bars == TScrollStyle::ssBoth;
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TOvcBase::ApplyBorderStyle(TBorderStyle style)
{
    setFrameStyle(style == TBorderStyle::bsSingle ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
}

void TOvcBase::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (AfterEnter)
                AfterEnter(this);
        },
        Qt::QueuedConnection);
}

void TOvcBase::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (AfterExit)
                AfterExit(this);
        },
        Qt::QueuedConnection);
}
