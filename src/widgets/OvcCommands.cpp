// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/OvcCommands.h"

#include <array>
#include <string_view>

namespace {

// The names of the codes between the marker ranges, each run from its first code on.
constexpr std::array<std::string_view, 32> kNamesFrom0 = {
    "ccNone",         "ccBack",         "ccBotOfPage",   "ccBotRightCell", "ccCompleteDate",
    "ccCompleteTime", "ccCopy",         "ccCtrlChar",    "ccCut",          "ccDec",
    "ccDel",          "ccDelBol",       "ccDelEol",      "ccDelLine",      "ccDelWord",
    "ccDown",         "ccEnd",          "ccExtendDown",  "ccExtendEnd",    "ccExtendHome",
    "ccExtendLeft",   "ccExtendPgDn",   "ccExtendPgUp",  "ccExtendRight",  "ccExtendUp",
    "ccExtBotOfPage", "ccExtFirstPage", "ccExtLastPage", "ccExtTopOfPage", "ccExtWordLeft",
    "ccExtWordRight", "ccFirstPage"};
constexpr std::array<std::string_view, 16> kNamesFromHome = {
    "ccHome",     "ccInc",      "ccIns",        "ccLastPage", "ccLeft",     "ccNewLine",
    "ccNextPage", "ccPageLeft", "ccPageRight",  "ccPaste",    "ccPrevPage", "ccRedo",
    "ccRestore",  "ccRight",    "ccScrollDown", "ccScrollUp"};
constexpr std::array<std::string_view, 8> kNamesFromTab = {
    "ccTab", "ccTableEdit", "ccTopLeftCell", "ccTopOfPage", "ccUndo", "ccUp", "ccWordLeft", "ccWordRight"};
static_assert(kNamesFrom0.size() == ccGotoMarker0 && ccHome + kNamesFromHome.size() == ccSetMarker0 &&
              ccTab + kNamesFromTab.size() == ccLastCmd + 1);

} // namespace

std::string CommandName(std::uint16_t command)
{
    if (command >= ccUserFirst)
        return "ccUser" + std::to_string(command);
    if (command >= ccGotoMarker0 && command <= ccGotoMarker0 + 9)
        return "ccGotoMarker" + std::to_string(command - ccGotoMarker0);
    if (command >= ccSetMarker0 && command <= ccSetMarker0 + 9)
        return "ccSetMarker" + std::to_string(command - ccSetMarker0);
    if (command < kNamesFrom0.size())
        return std::string(kNamesFrom0[command]);
    if (command >= ccHome && command < ccSetMarker0)
        return std::string(kNamesFromHome[command - ccHome]);
    if (command >= ccTab && command <= ccLastCmd)
        return std::string(kNamesFromTab[command - ccTab]);
    return {};
}
