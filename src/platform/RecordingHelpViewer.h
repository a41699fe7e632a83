// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/HelpViewer.h"

#include <string>
#include <vector>

// Shows nothing and records each request as "Finder FILE", "Contents FILE" or "JumpID KEY", for tests.
// Contents answers with contentsResult.
class RecordingHelpViewer : public HelpViewer
{
public:
    void Finder(const std::string& helpFile) override;
    bool Contents(const std::string& helpFile) override;
    void JumpID(const std::string& key) override;

    bool contentsResult = true;
    std::vector<std::string> requests;
};
