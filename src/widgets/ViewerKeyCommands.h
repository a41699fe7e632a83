// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

class ViewerModel;

// What a key command asks of the widget beyond the model's own changes.
enum class ViewerCommandResult
{
    NotHandled, // the key keeps its toolkit meaning
    Done,
    Copy // put the highlight on the clipboard
};

// Carries out a viewer command (codes below 256) on the model. Without a caret (caretOn false) the
// arrows scroll, the page keys move the view a page with the caret, Home and End go to the ends of
// the text; with a caret the keys move it and the extend commands extend the highlight, and the
// bookmark commands set and find bookmarks. Copy works in both modes.
ViewerCommandResult RunViewerCommand(ViewerModel& model, std::uint16_t command, bool caretOn);
