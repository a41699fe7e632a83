// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DialogParts.h"

#include "info/SvgPicture.h"
#include "ui/StatusBarPanel.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>
#include <QStatusBar>

QPushButton* DialogButton(const char* name, const char* caption, const char* hint)
{
    auto* button = new QPushButton(QString::fromLatin1(caption));
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumSize(75, 25);
    SetHint(button, hint);
    return button;
}

StatusBarPanel* LayOutDialog(QDialog& dialog, QLayout* controls, QLayout* buttons)
{
    auto* body = new QHBoxLayout;
    body->setContentsMargins(8, 8, 8, 6);
    body->setSpacing(10);
    body->addLayout(controls, 1);
    body->addLayout(buttons);

    auto* bar = new QStatusBar;
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    auto* panel = new StatusBarPanel;
    panel->setObjectName(QStringLiteral("StatusPanel"));
    bar->addWidget(panel, 1);

    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(body, 1);
    layout->addWidget(bar);
    // The size the controls and the longest hint need, not resizable; the panel elides a longer text.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    panel->setMinimumWidth(panel->WidthForHintsOf(dialog, 250));
    return panel;
}

void CentreDialog(QDialog& dialog)
{
    // The controls are polished as they show, which may change their sizes; centred at the size of
    // the layout before, the first showing would sit off centre.
    dialog.layout()->activate();
    CentreOnScreen(dialog);
}
