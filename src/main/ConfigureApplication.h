// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Settings of the application object that every window depends on; called once, after the
// QApplication exists and before any window does. No display name is set: desktops append it to
// every window title ("Information — Lintwick"), and the windows' titles are exactly their own.
void ConfigureApplication();
