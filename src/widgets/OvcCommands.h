// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// Command codes that the controller's tables produce and the widgets act on. Codes from 256 up are
// the owner's own commands (ccUser); 252, 254 and 255 are what Translate returns when a key makes
// no command.
inline constexpr std::uint16_t ccNone = 0;
inline constexpr std::uint16_t ccBack = 1;
inline constexpr std::uint16_t ccBotOfPage = 2;
inline constexpr std::uint16_t ccBotRightCell = 3;
inline constexpr std::uint16_t ccCompleteDate = 4;
inline constexpr std::uint16_t ccCompleteTime = 5;
inline constexpr std::uint16_t ccCopy = 6;
inline constexpr std::uint16_t ccCtrlChar = 7;
inline constexpr std::uint16_t ccCut = 8;
inline constexpr std::uint16_t ccDec = 9;
inline constexpr std::uint16_t ccDel = 10;
inline constexpr std::uint16_t ccDelBol = 11;
inline constexpr std::uint16_t ccDelEol = 12;
inline constexpr std::uint16_t ccDelLine = 13;
inline constexpr std::uint16_t ccDelWord = 14;
inline constexpr std::uint16_t ccDown = 15;
inline constexpr std::uint16_t ccEnd = 16;
inline constexpr std::uint16_t ccExtendDown = 17;
inline constexpr std::uint16_t ccExtendEnd = 18;
inline constexpr std::uint16_t ccExtendHome = 19;
inline constexpr std::uint16_t ccExtendLeft = 20;
inline constexpr std::uint16_t ccExtendPgDn = 21;
inline constexpr std::uint16_t ccExtendPgUp = 22;
inline constexpr std::uint16_t ccExtendRight = 23;
inline constexpr std::uint16_t ccExtendUp = 24;
inline constexpr std::uint16_t ccExtBotOfPage = 25;
inline constexpr std::uint16_t ccExtFirstPage = 26;
inline constexpr std::uint16_t ccExtLastPage = 27;
inline constexpr std::uint16_t ccExtTopOfPage = 28;
inline constexpr std::uint16_t ccExtWordLeft = 29;
inline constexpr std::uint16_t ccExtWordRight = 30;
inline constexpr std::uint16_t ccFirstPage = 31;
inline constexpr std::uint16_t ccGotoMarker0 = 32; // ... ccGotoMarker9 = 41
inline constexpr std::uint16_t ccHome = 42;
inline constexpr std::uint16_t ccInc = 43;
inline constexpr std::uint16_t ccIns = 44;
inline constexpr std::uint16_t ccLastPage = 45;
inline constexpr std::uint16_t ccLeft = 46;
inline constexpr std::uint16_t ccNewLine = 47;
inline constexpr std::uint16_t ccNextPage = 48;
inline constexpr std::uint16_t ccPageLeft = 49;
inline constexpr std::uint16_t ccPageRight = 50;
inline constexpr std::uint16_t ccPaste = 51;
inline constexpr std::uint16_t ccPrevPage = 52;
inline constexpr std::uint16_t ccRedo = 53;
inline constexpr std::uint16_t ccRestore = 54;
inline constexpr std::uint16_t ccRight = 55;
inline constexpr std::uint16_t ccScrollDown = 56;
inline constexpr std::uint16_t ccScrollUp = 57;
inline constexpr std::uint16_t ccSetMarker0 = 58; // ... ccSetMarker9 = 67
inline constexpr std::uint16_t ccTab = 68;
inline constexpr std::uint16_t ccTableEdit = 69;
inline constexpr std::uint16_t ccTopLeftCell = 70;
inline constexpr std::uint16_t ccTopOfPage = 71;
inline constexpr std::uint16_t ccUndo = 72;
inline constexpr std::uint16_t ccUp = 73;
inline constexpr std::uint16_t ccWordLeft = 74;
inline constexpr std::uint16_t ccWordRight = 75;
inline constexpr std::uint16_t ccLastCmd = ccWordRight;

inline constexpr std::uint16_t ccNoCommand = 252;     // the key names no command
inline constexpr std::uint16_t ccPartialFailed = 254; // a pending two-key sequence was not completed
inline constexpr std::uint16_t ccPartial = 255;       // first key of a two-key sequence seen
inline constexpr std::uint16_t ccUserFirst = 256;

// True for the reserved codes and ccNone: the widgets do nothing for them.
inline constexpr bool IsNoCommand(std::uint16_t command)
{
    return command == ccNone || command == ccNoCommand || command == ccPartialFailed || command == ccPartial;
}

// The program's name of a command: "ccLeft", "ccGotoMarker3", "ccUser300"; an empty string for the
// unnamed codes 76 ... 255.
std::string CommandName(std::uint16_t command);
