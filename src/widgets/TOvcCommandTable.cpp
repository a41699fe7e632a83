// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TOvcCommandTable.h"

#include "widgets/OvcCommands.h"
#include "widgets/OvcVirtualKeys.h"

#include <algorithm>

namespace {

TOvcCmdRec Rec(std::uint8_t key, std::uint8_t shift, std::uint16_t command)
{
    return TOvcCmdRec{key, shift, 0, 0, command};
}

TOvcCmdRec Rec2(std::uint8_t key1, std::uint8_t shift1, std::uint8_t key2, std::uint8_t shift2,
                std::uint16_t command)
{
    return TOvcCmdRec{key1, shift1, key2, shift2, command};
}

std::vector<TOvcCmdRec> MakeDefault()
{
    constexpr auto S = ssShift;
    constexpr auto C = ssCtrl;
    constexpr auto CS = ssCtrl | ssShift;
    std::vector<TOvcCmdRec> r = {
        Rec(vk::Left, 0, ccLeft),
        Rec(vk::Right, 0, ccRight),
        Rec(vk::Left, C, ccWordLeft),
        Rec(vk::Right, C, ccWordRight),
        Rec(vk::Home, 0, ccHome),
        Rec(vk::End, 0, ccEnd),
        Rec(vk::Delete, 0, ccDel),
        Rec(vk::Back, 0, ccBack),
        Rec(vk::Back, S, ccBack),
        Rec(vk::Prior, C, ccTopOfPage),
        Rec(vk::Next, C, ccBotOfPage),
        Rec(vk::Insert, 0, ccIns),
        Rec(vk::Letter('Z'), C, ccUndo),
        Rec(vk::Back, ssAlt, ccRestore),
        Rec(vk::Up, 0, ccUp),
        Rec(vk::Down, 0, ccDown),
        Rec(vk::Return, C, ccNewLine),
        Rec(vk::Left, S, ccExtendLeft),
        Rec(vk::Right, S, ccExtendRight),
        Rec(vk::Home, S, ccExtendHome),
        Rec(vk::End, S, ccExtendEnd),
        Rec(vk::Left, CS, ccExtWordLeft),
        Rec(vk::Right, CS, ccExtWordRight),
        Rec(vk::Prior, S, ccExtendPgUp),
        Rec(vk::Next, S, ccExtendPgDn),
        Rec(vk::Up, S, ccExtendUp),
        Rec(vk::Down, S, ccExtendDown),
        Rec(vk::Home, CS, ccExtFirstPage),
        Rec(vk::End, CS, ccExtLastPage),
        Rec(vk::Prior, CS, ccExtTopOfPage),
        Rec(vk::Next, CS, ccExtBotOfPage),
        Rec(vk::Delete, S, ccCut),
        Rec(vk::Letter('X'), C, ccCut),
        Rec(vk::Insert, C, ccCopy),
        Rec(vk::Letter('C'), C, ccCopy),
        Rec(vk::Insert, S, ccPaste),
        Rec(vk::Letter('V'), C, ccPaste),
        Rec(vk::Prior, 0, ccPrevPage),
        Rec(vk::Next, 0, ccNextPage),
        Rec(vk::Home, C, ccFirstPage),
        Rec(vk::End, C, ccLastPage),
        Rec(vk::Tab, 0, ccTab),
        Rec(vk::Tab, C, ccTab),
        Rec(vk::Letter('Z'), CS, ccRedo),
    };
    for (int d = 0; d <= 9; ++d)
        r.push_back(Rec(vk::Digit(d), C, static_cast<std::uint16_t>(ccGotoMarker0 + d)));
    for (int d = 0; d <= 9; ++d)
        r.push_back(Rec(vk::Digit(d), CS, static_cast<std::uint16_t>(ccSetMarker0 + d)));
    return r;
}

// Ctrl-letter editing keys with the Ctrl+Q and Ctrl+K prefixes; no window of the program turns it on.
std::vector<TOvcCmdRec> MakeWordStar()
{
    constexpr auto C = ssCtrl;
    constexpr auto X = ssCtrlOrNone;
    const auto L = vk::Letter;
    std::vector<TOvcCmdRec> r = {
        Rec(L('S'), C, ccLeft),
        Rec(L('D'), C, ccRight),
        Rec(L('E'), C, ccUp),
        Rec(L('X'), C, ccDown),
        Rec(L('A'), C, ccWordLeft),
        Rec(L('F'), C, ccWordRight),
        Rec(L('R'), C, ccPrevPage),
        Rec(L('C'), C, ccNextPage),
        Rec(L('W'), C, ccScrollUp),
        Rec(L('Z'), C, ccScrollDown),
        Rec(L('G'), C, ccDel),
        Rec(L('H'), C, ccBack),
        Rec(L('T'), C, ccDelWord),
        Rec(L('Y'), C, ccDelLine),
        Rec(L('V'), C, ccIns),
        Rec(L('P'), C, ccCtrlChar),
        Rec(L('N'), C, ccNewLine),
        Rec(L('I'), C, ccTab),
        Rec(L('U'), C, ccUndo),
        Rec(L('L'), C, ccRedo),
        Rec2(L('Q'), C, L('S'), X, ccHome),
        Rec2(L('Q'), C, L('D'), X, ccEnd),
        Rec2(L('Q'), C, L('R'), X, ccFirstPage),
        Rec2(L('Q'), C, L('C'), X, ccLastPage),
        Rec2(L('Q'), C, L('E'), X, ccTopOfPage),
        Rec2(L('Q'), C, L('X'), X, ccBotOfPage),
        Rec2(L('Q'), C, L('Y'), X, ccDelEol),
        Rec2(L('Q'), C, vk::Delete, 0, ccDelBol),
        Rec2(L('Q'), C, L('L'), X, ccRestore),
        Rec2(L('K'), C, L('C'), X, ccCopy),
        Rec2(L('K'), C, L('V'), X, ccPaste),
        Rec2(L('K'), C, L('Y'), X, ccCut),
    };
    for (int d = 0; d <= 3; ++d) {
        r.push_back(Rec2(L('K'), C, vk::Digit(d), X, static_cast<std::uint16_t>(ccSetMarker0 + d)));
        r.push_back(Rec2(L('Q'), C, vk::Digit(d), X, static_cast<std::uint16_t>(ccGotoMarker0 + d)));
    }
    return r;
}

// Table navigation keys; no window of the program turns it on.
std::vector<TOvcCmdRec> MakeGrid()
{
    constexpr auto S = ssShift;
    constexpr auto C = ssCtrl;
    constexpr auto CS = ssCtrl | ssShift;
    return {
        Rec(vk::Left, 0, ccLeft),
        Rec(vk::Right, 0, ccRight),
        Rec(vk::Up, 0, ccUp),
        Rec(vk::Down, 0, ccDown),
        Rec(vk::Home, 0, ccHome),
        Rec(vk::End, 0, ccEnd),
        Rec(vk::Prior, 0, ccPrevPage),
        Rec(vk::Next, 0, ccNextPage),
        Rec(vk::Prior, C, ccTopOfPage),
        Rec(vk::Next, C, ccBotOfPage),
        Rec(vk::Home, C, ccTopLeftCell),
        Rec(vk::End, C, ccBotRightCell),
        Rec(vk::Left, C, ccPageLeft),
        Rec(vk::Right, C, ccPageRight),
        Rec(vk::Tab, 0, ccRight),
        Rec(vk::Tab, S, ccLeft),
        Rec(vk::Return, 0, ccTableEdit),
        Rec(vk::Return, C, ccNewLine),
        Rec(vk::Left, S, ccExtendLeft),
        Rec(vk::Right, S, ccExtendRight),
        Rec(vk::Up, S, ccExtendUp),
        Rec(vk::Down, S, ccExtendDown),
        Rec(vk::Home, S, ccExtendHome),
        Rec(vk::End, S, ccExtendEnd),
        Rec(vk::Prior, S, ccExtendPgUp),
        Rec(vk::Next, S, ccExtendPgDn),
        Rec(vk::Home, CS, ccExtFirstPage),
        Rec(vk::End, CS, ccExtLastPage),
        Rec(vk::Prior, CS, ccExtTopOfPage),
        Rec(vk::Next, CS, ccExtBotOfPage),
        Rec(vk::Insert, C, ccCopy),
        Rec(vk::Letter('C'), C, ccCopy),
        Rec(vk::Insert, S, ccPaste),
        Rec(vk::Letter('V'), C, ccPaste),
        Rec(vk::Delete, S, ccCut),
        Rec(vk::Letter('X'), C, ccCut),
        Rec(vk::Letter('Z'), C, ccUndo),
        Rec(vk::F1 + 1, 0, ccTableEdit),
    };
}

bool SameNameIgnoringCase(const std::string& a, const char* b)
{
    const std::string_view bv(b);
    return a.size() == bv.size() && std::equal(a.begin(), a.end(), bv.begin(), [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

} // namespace

std::uint32_t TOvcCmdRec::Keys() const
{
    return static_cast<std::uint32_t>(Key1) | (static_cast<std::uint32_t>(SS1) << 8) |
           (static_cast<std::uint32_t>(Key2) << 16) | (static_cast<std::uint32_t>(SS2) << 24);
}

TOvcCmdRec TOvcCmdRec::FromKeys(std::uint32_t keys, std::uint16_t command)
{
    return TOvcCmdRec{static_cast<std::uint8_t>(keys), static_cast<std::uint8_t>(keys >> 8),
                      static_cast<std::uint8_t>(keys >> 16), static_cast<std::uint8_t>(keys >> 24), command};
}

TOvcCommandTable::TOvcCommandTable(std::string name, bool active, std::vector<TOvcCmdRec> records)
    : m_name(std::move(name)), m_active(active), m_records(std::move(records))
{}

const std::vector<TOvcCmdRec>* TOvcCommandTable::BuiltInRecords(const std::string& name)
{
    static const std::vector<TOvcCmdRec> defaultRecords = MakeDefault();
    static const std::vector<TOvcCmdRec> wordStarRecords = MakeWordStar();
    static const std::vector<TOvcCmdRec> gridRecords = MakeGrid();
    if (SameNameIgnoringCase(name, "Default"))
        return &defaultRecords;
    if (SameNameIgnoringCase(name, "WordStar"))
        return &wordStarRecords;
    if (SameNameIgnoringCase(name, "Grid"))
        return &gridRecords;
    return nullptr;
}

TOvcCommandTable TOvcCommandTable::Default()
{
    return TOvcCommandTable("Default", true, *BuiltInRecords("Default"));
}

TOvcCommandTable TOvcCommandTable::WordStar()
{
    return TOvcCommandTable("WordStar", false, *BuiltInRecords("WordStar"));
}

TOvcCommandTable TOvcCommandTable::Grid()
{
    return TOvcCommandTable("Grid", false, *BuiltInRecords("Grid"));
}
