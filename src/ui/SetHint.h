// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/HintText.h"

#include <QString>

// Gives a control or a menu item its hint: the short part as its tooltip, the long part as the status
// tip that the hint handler shows in the active window's status bar.
template <typename Target> void SetHint(Target* target, const char* hint)
{
    target->setToolTip(QString::fromStdString(ShortHint(hint)));
    target->setStatusTip(QString::fromStdString(LongHint(hint)));
}
