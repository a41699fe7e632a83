// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/OvcCommands.h"

#include <array>
#include <string_view>

namespace {

// Indexed by code; the two marker ranges are filled in by CommandName.
constexpr std::array<std::string_view, ccLastCmd + 1> kNames = {
    "ccNone",
    "ccBack",
    "ccBotOfPage",
    "ccBotRightCell",
    "ccCompleteDate",
    "ccCompleteTime",
    "ccCopy",
    "ccCtrlChar",
    "ccCut",
    "ccDec",
    "ccDel",
    "ccDelBol",
    "ccDelEol",
    "ccDelLine",
    "ccDelWord",
    "ccDown",
    "ccEnd",
    "ccExtendDown",
    "ccExtendEnd",
    "ccExtendHome",
    "ccExtendLeft",
    "ccExtendPgDn",
    "ccExtendPgUp",
    "ccExtendRight",
    "ccExtendUp",
    "ccExtBotOfPage",
    "ccExtFirstPage",
    "ccExtLastPage",
    "ccExtTopOfPage",
    "ccExtWordLeft",
    "ccExtWordRight",
    "ccFirstPage",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "ccHome",
    "ccInc",
    "ccIns",
    "ccLastPage",
    "ccLeft",
    "ccNewLine",
    "ccNextPage",
    "ccPageLeft",
    "ccPageRight",
    "ccPaste",
    "ccPrevPage",
    "ccRedo",
    "ccRestore",
    "ccRight",
    "ccScrollDown",
    "ccScrollUp",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "ccTab",
    "ccTableEdit",
    "ccTopLeftCell",
    "ccTopOfPage",
    "ccUndo",
    "ccUp",
    "ccWordLeft",
    "ccWordRight",
};

} // namespace

std::string CommandName(std::uint16_t command)
{
    if (command >= ccUserFirst)
        return "ccUser" + std::to_string(command);
    if (command >= ccGotoMarker0 && command <= ccGotoMarker0 + 9)
        return "ccGotoMarker" + std::to_string(command - ccGotoMarker0);
    if (command >= ccSetMarker0 && command <= ccSetMarker0 + 9)
        return "ccSetMarker" + std::to_string(command - ccSetMarker0);
    if (command <= ccLastCmd)
        return std::string(kNames[command]);
    return {};
}
