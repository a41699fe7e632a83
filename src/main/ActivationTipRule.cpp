// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ActivationTipRule.h"

bool ActivationTipRule::WindowActivated(ActivatedWindow window)
{
    if (window == ActivatedWindow::Outside)
        return false;
    bool tip = false;
    if (window == ActivatedWindow::Main) {
        tip = !m_activatedBefore || m_lastOwn == ActivatedWindow::NonModal;
        m_activatedBefore = true;
    }
    m_lastOwn = window;
    return tip;
}
