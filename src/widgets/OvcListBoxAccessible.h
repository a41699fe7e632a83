// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>
#include <QHash>

class TOvcCustomVirtualListBox;

// The list box as a screen reader sees it: a list whose children are the rows on screen, the header
// (when shown) first as a column header. Children stand for screen rows, so they follow scrolling.
class OvcListBoxAccessible : public QAccessibleWidget
{
public:
    explicit OvcListBoxAccessible(TOvcCustomVirtualListBox* list);
    ~OvcListBoxAccessible() override;

    TOvcCustomVirtualListBox* List() const;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text t) const override;

private:
    mutable QHash<int, QAccessible::Id> m_children;
};
