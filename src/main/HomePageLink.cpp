// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/HomePageLink.h"

#include "main/MainTexts.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramLauncher.h"

void HomePageLink::Open()
{
    for (const char* browser : kBrowsers) {
        if (m_launcher.LaunchProgram(browser, MainTexts::kHomePage) != ProgramLauncher::kNotFound)
            return;
    }
    m_messages.Beep();
    m_messages.Error(MainTexts::kBrowserNotLaunched);
}
