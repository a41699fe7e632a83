// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FolderChooser.h"

// The desktop's folder dialog, over the active window.
class QtFolderChooser : public FolderChooser
{
public:
    std::string ChooseFolder(const std::string& title) override;
};
