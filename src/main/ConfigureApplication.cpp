// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ConfigureApplication.h"

#include <QApplication>

void ConfigureApplication()
{
    QApplication::setApplicationName(QStringLiteral("Lintwick"));
    // The main window decides when the program ends, not the last visible window.
    QApplication::setQuitOnLastWindowClosed(false);
}
