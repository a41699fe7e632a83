// SPDX-License-Identifier: GPL-3.0-or-later
// The Contact command's help request as the program makes it, from a copy of this probe placed
// among installed programs: prints where the viewer found the help file and the topic it shows.
#include "main/MainTexts.h"
#include "platform/HelpViewerWindow.h"
#include "platform/ProgramDir.h"
#include "platform/RecordingMessageBoxes.h"
#include "ui/HelpCommands.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    RecordingMessageBoxes messages;
    HelpViewerWindow viewer(messages);
    HelpCommands(viewer, CurrentProgramDir()).ShowTopic(MainTexts::kContactTopic);
    for (const RecordingMessageBoxes::Shown& box : messages.shown)
        std::fprintf(stderr, "%s: %s\n", box.kind.c_str(), box.text.c_str());
    std::printf("%s\n%s\n", viewer.openedFile().c_str(), viewer.currentTopic().c_str());
    return messages.shown.empty() ? 0 : 1;
}
