// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ConfigureApplication.h"

#include <QApplication>
#include <QIcon>

void ConfigureApplication()
{
    QApplication::setApplicationName(QStringLiteral("Lintwick"));
    // Task bars and docks match the windows to the installed launcher entry and show its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.corvane.Lintwick"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("example.corvane.Lintwick"),
                         QIcon(QStringLiteral(":/app/example.corvane.Lintwick.svg"))));
    // The main window decides when the program ends, not the last visible window.
    QApplication::setQuitOnLastWindowClosed(false);
}
