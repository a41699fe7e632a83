// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/TOvcCommandTable.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// The ordered command tables of one controller and the state of a key sequence in progress.
// Translate is the only way keys become commands; the widgets never interpret keys themselves.
class TOvcCommandProcessor
{
public:
    // Starts with the built-in tables "Default" (active), "WordStar" and "Grid" (inactive).
    TOvcCommandProcessor();

    // The command of a key-down: key is a virtual-key code, shift the sum of ssShift, ssCtrl and ssAlt
    // held at that moment. Returns ccNoCommand (252) when no active record names the key,
    // ccPartial (255) after the first key of a two-key sequence and ccPartialFailed (254) when the
    // key after it completes no sequence. Modifier and lock keys alone never change the state.
    std::uint16_t Translate(std::uint8_t key, std::uint8_t shift);

    // 0 idle, 1 first key of a sequence seen, 2 the next key is a literal control character.
    int State() const { return m_state; }
    void ResetState() { m_state = 0; }

    int Count() const { return static_cast<int>(m_tables.size()); }
    TOvcCommandTable& Table(int index) { return m_tables.at(static_cast<std::size_t>(index)); }
    const TOvcCommandTable& Table(int index) const { return m_tables.at(static_cast<std::size_t>(index)); }
    // The table of that exact name, or nullptr.
    TOvcCommandTable* TableByName(const std::string& name);
    void Add(TOvcCommandTable table) { m_tables.push_back(std::move(table)); }
    void Clear() { m_tables.clear(); }

    // Table list streaming. A table whose name is one of the built-in ones (any case) is stored
    // without records and receives the built-in records again when read; others keep their records.
    void WriteTables(std::ostream& out) const;
    // Replaces the tables with the stored list. On malformed or truncated input nothing changes and
    // false is returned.
    bool ReadTables(std::istream& in);

private:
    std::uint16_t TranslateInTable(const TOvcCommandTable& table, std::uint8_t key, std::uint8_t shift);

    std::vector<TOvcCommandTable> m_tables;
    int m_state = 0;
    std::uint8_t m_lastKey = 0;
    std::uint8_t m_lastShift = 0;
};
