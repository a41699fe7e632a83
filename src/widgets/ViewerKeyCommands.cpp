// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ViewerKeyCommands.h"

#include "widgets/OvcCommands.h"
#include "widgets/ViewerModel.h"

#include <algorithm>

namespace {

using Result = ViewerCommandResult;

int LastLine(const ViewerModel& model)
{
    return std::max(0, model.LineCount() - 1);
}

int PageLines(const ViewerModel& model)
{
    return std::max(1, model.VisibleRows() - 1);
}

// Commands that act the same with and without a caret.
Result RunCommonCommand(ViewerModel& model, std::uint16_t command)
{
    switch (command) {
    case ccScrollUp:
        model.Scroll(0, -1);
        return Result::Done;
    case ccScrollDown:
        model.Scroll(0, 1);
        return Result::Done;
    case ccPrevPage:
        model.MoveCaret(0, -PageLines(model), false, false, true);
        return Result::Done;
    case ccNextPage:
        model.MoveCaret(0, PageLines(model), false, false, true);
        return Result::Done;
    case ccFirstPage:
        model.MoveCaretTo(0, 0, false);
        return Result::Done;
    case ccLastPage:
        model.MoveCaretTo(LastLine(model), model.LineLength(LastLine(model)), false);
        return Result::Done;
    case ccCopy:
        return Result::Copy;
    default:
        return Result::NotHandled;
    }
}

Result RunCaretOffCommand(ViewerModel& model, std::uint16_t command)
{
    switch (command) {
    case ccUp:
        return RunCommonCommand(model, ccScrollUp);
    case ccDown:
        return RunCommonCommand(model, ccScrollDown);
    case ccLeft:
        model.Scroll(-1, 0);
        return Result::Done;
    case ccRight:
        model.Scroll(1, 0);
        return Result::Done;
    case ccHome:
        return RunCommonCommand(model, ccFirstPage);
    case ccEnd:
        return RunCommonCommand(model, ccLastPage);
    default:
        return RunCommonCommand(model, command);
    }
}

bool IsExtending(std::uint16_t command)
{
    switch (command) {
    case ccExtendLeft:
    case ccExtendRight:
    case ccExtendUp:
    case ccExtendDown:
    case ccExtendHome:
    case ccExtendEnd:
    case ccExtendPgUp:
    case ccExtendPgDn:
    case ccExtFirstPage:
    case ccExtLastPage:
    case ccExtTopOfPage:
    case ccExtBotOfPage:
        return true;
    default:
        return false;
    }
}

Result RunCaretOnCommand(ViewerModel& model, std::uint16_t command)
{
    const ViewerState& s = model.State();
    const int caretLine = s.Caret.Line;
    const int bottomRow = std::min(LastLine(model), s.TopLine + model.VisibleRows() - 1);
    const bool extend = IsExtending(command);
    switch (command) {
    case ccLeft:
    case ccExtendLeft:
        model.MoveCharacters(-1, extend);
        return Result::Done;
    case ccRight:
    case ccExtendRight:
        model.MoveCharacters(1, extend);
        return Result::Done;
    case ccUp:
    case ccExtendUp:
        model.MoveCaret(0, -1, false, extend, false);
        return Result::Done;
    case ccDown:
    case ccExtendDown:
        model.MoveCaret(0, 1, false, extend, false);
        return Result::Done;
    case ccHome:
    case ccExtendHome:
        model.MoveCaretTo(caretLine, 0, extend);
        return Result::Done;
    case ccEnd:
    case ccExtendEnd:
        model.MoveCaretTo(caretLine, model.LineLength(caretLine), extend);
        return Result::Done;
    case ccExtendPgUp:
        model.MoveCaret(0, -PageLines(model), false, true, true);
        return Result::Done;
    case ccExtendPgDn:
        model.MoveCaret(0, PageLines(model), false, true, true);
        return Result::Done;
    case ccExtFirstPage:
        model.MoveCaretTo(0, 0, true);
        return Result::Done;
    case ccExtLastPage:
        model.MoveCaretTo(LastLine(model), model.LineLength(LastLine(model)), true);
        return Result::Done;
    case ccTopOfPage:
    case ccExtTopOfPage:
        model.MoveCaret(0, s.TopLine - caretLine, false, extend, false);
        return Result::Done;
    case ccBotOfPage:
    case ccExtBotOfPage:
        model.MoveCaret(0, bottomRow - caretLine, false, extend, false);
        return Result::Done;
    case ccExtWordLeft:
        model.MoveWord(-1, true);
        return Result::Done;
    case ccExtWordRight:
        model.MoveWord(1, true);
        return Result::Done;
    default:
        break;
    }
    if (command >= ccSetMarker0 && command <= ccSetMarker0 + 9) {
        model.ToggleBookmark(command - ccSetMarker0);
        return Result::Done;
    }
    if (command >= ccGotoMarker0 && command <= ccGotoMarker0 + 9) {
        const ViewerPos mark = s.Bookmarks[static_cast<std::size_t>(command - ccGotoMarker0)];
        if (mark.Line >= 0)
            model.MoveCaretTo(mark.Line, mark.Char, false);
        return Result::Done;
    }
    return RunCommonCommand(model, command);
}

} // namespace

ViewerCommandResult RunViewerCommand(ViewerModel& model, std::uint16_t command, bool caretOn)
{
    return caretOn ? RunCaretOnCommand(model, command) : RunCaretOffCommand(model, command);
}
