// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/OvcListRowAccessible.h"

#include "widgets/TOvcCustomVirtualListBox.h"

#include <QWidget>
#include <QWindow>

OvcListRowAccessible::OvcListRowAccessible(TOvcCustomVirtualListBox* list, int row) : m_list(list), m_row(row)
{}

int OvcListRowAccessible::ItemIndex() const
{
    return m_row < 0 || !m_list ? -1 : m_list->TopIndex() + m_row;
}

bool OvcListRowAccessible::isValid() const
{
    if (!m_list)
        return false;
    if (m_row < 0)
        return m_list->ShowHeader();
    return m_row < m_list->VisibleRows() && ItemIndex() <= m_list->LastIndex();
}

QWindow* OvcListRowAccessible::window() const
{
    return m_list ? m_list->window()->windowHandle() : nullptr;
}

QAccessibleInterface* OvcListRowAccessible::parent() const
{
    return m_list ? QAccessible::queryAccessibleInterface(m_list.data()) : nullptr;
}

QString OvcListRowAccessible::text(QAccessible::Text t) const
{
    // Screen readers say "checked" for the state; the description names it in the list's own word.
    if (t == QAccessible::Description && m_row >= 0 && isValid() && m_list->IsMarked(ItemIndex()))
        return QStringLiteral("marked");
    if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value))
        return {};
    return m_row < 0 ? m_list->Header().left(255) : m_list->ItemText(ItemIndex());
}

QRect OvcListRowAccessible::rect() const
{
    if (!isValid())
        return {};
    QWidget* viewport = m_list->viewport();
    const QRect local =
        m_row < 0 ? QRect(0, 0, viewport->width(), m_list->RowHeight()) : m_list->ItemRect(ItemIndex());
    return QRect(viewport->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::Role OvcListRowAccessible::role() const
{
    return m_row < 0 ? QAccessible::ColumnHeader : QAccessible::ListItem;
}

QAccessible::State OvcListRowAccessible::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    if (m_row >= 0) {
        s.selectable = true;
        s.focusable = true;
        s.selected = ItemIndex() == m_list->ItemIndex();
        s.focused = m_list->hasFocus() && ItemIndex() == m_list->FocusIndex();
        s.checkable = m_list->MultiSelect() && !m_list->IsItemProtected(ItemIndex());
        s.checked = m_list->IsMarked(ItemIndex());
    }
    return s;
}
