// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DialogParts.h"

#include "main/HintText.h"

#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QStatusBar>

void SetHint(QWidget* control, const char* hint)
{
    control->setToolTip(QString::fromStdString(ShortHint(hint)));
    control->setStatusTip(QString::fromStdString(LongHint(hint)));
}

QPushButton* DialogButton(const char* name, const char* caption, const char* hint)
{
    auto* button = new QPushButton(QString::fromLatin1(caption));
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumSize(75, 25);
    SetHint(button, hint);
    return button;
}

QLabel* AddStatusBar(QLayout* dialogLayout)
{
    auto* bar = new QStatusBar;
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    auto* panel = new QLabel;
    panel->setObjectName(QStringLiteral("StatusPanel"));
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    panel->setMargin(1);
    panel->setMinimumWidth(250);
    bar->addWidget(panel, 1);
    dialogLayout->addWidget(bar);
    return panel;
}
