// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TOvcController.h"

bool TOvcController::SetEpoch(int epoch)
{
    if (epoch < 1600 || epoch > 3999)
        return false;
    m_epoch = epoch;
    return true;
}
