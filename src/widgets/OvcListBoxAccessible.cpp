// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/OvcListBoxAccessible.h"

#include "widgets/OvcListRowAccessible.h"
#include "widgets/TOvcCustomVirtualListBox.h"

#include <algorithm>

OvcListBoxAccessible::OvcListBoxAccessible(TOvcCustomVirtualListBox* list)
    : QAccessibleWidget(list, QAccessible::List)
{}

OvcListBoxAccessible::~OvcListBoxAccessible()
{
    for (QAccessible::Id id : std::as_const(m_children))
        QAccessible::deleteAccessibleInterface(id);
}

TOvcCustomVirtualListBox* OvcListBoxAccessible::List() const
{
    return static_cast<TOvcCustomVirtualListBox*>(widget());
}

int OvcListBoxAccessible::childCount() const
{
    const TOvcCustomVirtualListBox* list = List();
    const long long rows =
        std::clamp<long long>(1LL * list->NumItems() - list->TopIndex(), 0, list->VisibleRows());
    return static_cast<int>(rows) + (list->ShowHeader() ? 1 : 0);
}

QAccessibleInterface* OvcListBoxAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    const int row = index - (List()->ShowHeader() ? 1 : 0);
    auto it = m_children.constFind(row);
    if (it != m_children.constEnd())
        return QAccessible::accessibleInterface(it.value());
    auto* rowInterface = new OvcListRowAccessible(List(), row);
    m_children.insert(row, QAccessible::registerAccessibleInterface(rowInterface));
    return rowInterface;
}

int OvcListBoxAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* row = dynamic_cast<const OvcListRowAccessible*>(child);
    if (!row)
        return -1;
    for (auto it = m_children.constBegin(); it != m_children.constEnd(); ++it) {
        if (QAccessible::accessibleInterface(it.value()) == child) {
            const int index = it.key() + (List()->ShowHeader() ? 1 : 0);
            return index < childCount() ? index : -1;
        }
    }
    return -1;
}

QAccessibleInterface* OvcListBoxAccessible::childAt(int x, int y) const
{
    const QPoint local = List()->viewport()->mapFromGlobal(QPoint(x, y));
    if (!List()->viewport()->rect().contains(local))
        return nullptr;
    const int rowHeight = List()->RowHeight();
    return child(local.y() / rowHeight);
}

QAccessibleInterface* OvcListBoxAccessible::focusChild() const
{
    const TOvcCustomVirtualListBox* list = List();
    const int row = list->ItemIndex() - list->TopIndex();
    if (list->ItemIndex() < 0 || row < 0 || row >= list->VisibleRows())
        return nullptr;
    return child(row + (list->ShowHeader() ? 1 : 0));
}

QString OvcListBoxAccessible::text(QAccessible::Text t) const
{
    QString result = QAccessibleWidget::text(t);
    if (result.isEmpty() && t == QAccessible::Name)
        result = List()->Header().trimmed();
    return result;
}
