// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/LinkLabelAccessible.h"

#include "main/LinkLabel.h"

LinkLabelAccessible::LinkLabelAccessible(LinkLabel* link) : QAccessibleWidget(link, QAccessible::Link) {}

QString LinkLabelAccessible::text(QAccessible::Text t) const
{
    QString result = QAccessibleWidget::text(t);
    if (result.isEmpty() && t == QAccessible::Name)
        result = static_cast<const LinkLabel*>(widget())->text();
    return result;
}

QAccessible::State LinkLabelAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.linked = true;
    return s;
}

QStringList LinkLabelAccessible::actionNames() const
{
    return QStringList(pressAction()) + QAccessibleWidget::actionNames();
}

void LinkLabelAccessible::doAction(const QString& actionName)
{
    if (actionName == pressAction())
        static_cast<LinkLabel*>(widget())->Activate();
    else
        QAccessibleWidget::doAction(actionName);
}
