// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtFolderChooser.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>

std::string QtFolderChooser::ChooseFolder(const std::string& title)
{
    const QString folder =
        QFileDialog::getExistingDirectory(QApplication::activeWindow(), QString::fromStdString(title),
                                          QDir::homePath(), QFileDialog::ShowDirsOnly);
    // Back to the bytes of the file name, whatever the name's encoding.
    return QFile::encodeName(folder).toStdString();
}
