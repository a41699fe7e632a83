// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class MessageBoxes;
class ProgramLauncher;

// Opens the maker's home page: tries the browser programs in turn while each is not found; when none
// is, beeps and says so. A browser that was found but failed to start is not reported.
class HomePageLink
{
public:
    static constexpr const char* kBrowsers[] = {"xdg-open", "x-www-browser"};

    HomePageLink(ProgramLauncher& launcher, MessageBoxes& messages)
        : m_launcher(launcher), m_messages(messages)
    {}

    void Open();

private:
    ProgramLauncher& m_launcher;
    MessageBoxes& m_messages;
};
