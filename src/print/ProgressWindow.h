// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>

// What the line printer needs of its progress window. The line printer decides when the window exists
// and what it shows; the window only shows it.
class ProgressWindow
{
public:
    virtual ~ProgressWindow() = default;

    virtual bool progressVisible() const = 0;
    virtual void showProgress() = 0;
    virtual void hideProgress() = 0;
    virtual void setProgressStatus(const std::string& status) = 0;
    virtual void setProgressTitle(const std::string& title) = 0;
    virtual void setProgressPageNumber(const std::string& pageNumber) = 0;
    // Paints the window at once: a print run processes no events while it works.
    virtual void repaintProgress() = 0;
};

// Makes a new, hidden progress window.
using ProgressWindowFactory = std::function<std::unique_ptr<ProgressWindow>()>;
