// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class OvcListBoxAccessible;
class TOvcCustomVirtualListBox;

// One screen row of the list box: the header (row -1) or the item in visible row `row`.
class OvcListRowAccessible : public QAccessibleInterface
{
public:
    OvcListRowAccessible(TOvcCustomVirtualListBox* list, int row);

    // The item shown in this row, or -1 for the header.
    int ItemIndex() const;

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;

private:
    QPointer<TOvcCustomVirtualListBox> m_list;
    int m_row;
};
