// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Asks the user for a folder.
class FolderChooser
{
public:
    virtual ~FolderChooser() = default;

    // The chosen folder's path as the filesystem spells it (bytes), or empty when the user cancelled.
    virtual std::string ChooseFolder(const std::string& title) = 0;
};

// Answers with a fixed folder and counts the questions, for tests.
class FixedFolderChooser : public FolderChooser
{
public:
    explicit FixedFolderChooser(std::string answer = {}) : answer(std::move(answer)) {}
    std::string ChooseFolder(const std::string&) override
    {
        ++asked;
        return answer;
    }

    std::string answer;
    int asked = 0;
};
