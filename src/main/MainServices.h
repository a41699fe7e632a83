// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LocaleSettings.h"

class DriveProbe;
class HelpViewer;
class MessageBoxes;
class ProgramLauncher;

// The platform services the main window works through; the caller owns them and keeps them alive
// as long as the window.
struct MainServices
{
    DriveProbe& drives;
    MessageBoxes& messages;
    ProgramLauncher& launcher;
    HelpViewer& help;
    LocaleSettings locale;
};
