// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/OvcAccessibility.h"

#include "widgets/OvcListBoxAccessible.h"
#include "widgets/OvcViewerAccessible.h"
#include "widgets/TOvcBaseViewer.h"
#include "widgets/TOvcCustomVirtualListBox.h"

namespace {

// The widgets carry no Q_OBJECT of their own, so Qt names them by their Qt base class; the dynamic
// type tells them apart.
QAccessibleInterface* OvcAccessibleFactory(const QString&, QObject* object)
{
    if (auto* list = dynamic_cast<TOvcCustomVirtualListBox*>(object))
        return new OvcListBoxAccessible(list);
    if (auto* viewer = dynamic_cast<TOvcBaseViewer*>(object))
        return new OvcViewerAccessible(viewer);
    return nullptr;
}

} // namespace

void InstallOvcAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(&OvcAccessibleFactory);
        return true;
    }();
    (void)installed;
}

void NotifyCheckedChanged(QWidget* widget, int child)
{
    if (!QAccessible::isActive())
        return;
    QAccessible::State checked;
    checked.checked = true;
    QAccessibleStateChangeEvent event(widget, checked);
    event.setChild(child);
    QAccessible::updateAccessibility(&event);
}
