// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PathProgramLauncher.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

int PathProgramLauncher::LaunchProgram(const std::string& program, const std::string& parameter)
{
    // findExecutable reads PATH at the time of the call and also accepts an absolute path.
    const QString executable = QStandardPaths::findExecutable(QString::fromStdString(program));
    if (executable.isEmpty())
        return kNotFound;
    // The parameter is one argument, never shell text: an address with "&" or ";" stays an address.
    return QProcess::startDetached(executable, {QString::fromStdString(parameter)}) ? kStarted : kFailed;
}
