// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DialogParts.h"

#include <QBoxLayout>
#include <QDialog>
#include <QLabel>
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

QLabel* LayOutDialog(QDialog& dialog, QLayout* controls, QLayout* buttons)
{
    auto* body = new QHBoxLayout;
    body->setContentsMargins(8, 8, 8, 6);
    body->setSpacing(10);
    body->addLayout(controls, 1);
    body->addLayout(buttons);

    auto* bar = new QStatusBar;
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    auto* panel = new QLabel;
    panel->setObjectName(QStringLiteral("StatusPanel"));
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    panel->setMargin(1);
    panel->setMinimumWidth(250);
    bar->addWidget(panel, 1);

    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(body, 1);
    layout->addWidget(bar);
    // The size the controls need, not resizable.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return panel;
}
