// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TOvcCommandProcessor.h"

#include "widgets/OvcCommands.h"
#include "widgets/OvcVirtualKeys.h"

#include <istream>
#include <ostream>

namespace {

constexpr char kStreamMagic[4] = {'O', 'V', 'C', 'T'};

bool IsModifierOrLock(std::uint8_t key)
{
    return key == vk::Shift || key == vk::Control || key == vk::Menu || key == vk::Capital ||
           key == vk::NumLock || key == vk::ScrollLock;
}

void WriteU32(std::ostream& out, std::uint32_t v)
{
    const char bytes[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                           static_cast<char>(v >> 24)};
    out.write(bytes, 4);
}

bool ReadU32(std::istream& in, std::uint32_t& v)
{
    unsigned char bytes[4];
    if (!in.read(reinterpret_cast<char*>(bytes), 4))
        return false;
    v = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    return true;
}

} // namespace

TOvcCommandProcessor::TOvcCommandProcessor()
{
    m_tables.push_back(TOvcCommandTable::Default());
    m_tables.push_back(TOvcCommandTable::WordStar());
    m_tables.push_back(TOvcCommandTable::Grid());
}

TOvcCommandTable* TOvcCommandProcessor::TableByName(const std::string& name)
{
    for (auto& table : m_tables)
        if (table.TableName() == name)
            return &table;
    return nullptr;
}

std::uint16_t TOvcCommandProcessor::TranslateInTable(const TOvcCommandTable& table, std::uint8_t key,
                                                     std::uint8_t shift)
{
    for (const TOvcCmdRec& rec : table.Records()) {
        if (m_state == 1) {
            if (rec.Key1 != m_lastKey || rec.SS1 != m_lastShift || rec.Key2 == 0 || rec.Key2 != key)
                continue;
            const bool shiftMatches =
                rec.SS2 == shift || (rec.SS2 == ssCtrlOrNone && (shift == ssNone || shift == ssCtrl));
            if (!shiftMatches)
                continue;
        } else {
            if (rec.Key1 != key || rec.SS1 != shift)
                continue;
            if (rec.Key2 != 0) {
                m_state = 1;
                m_lastKey = key;
                m_lastShift = shift;
                return ccPartial;
            }
        }
        m_state = rec.Cmd == ccCtrlChar ? 2 : 0;
        return rec.Cmd;
    }
    return 0;
}

std::uint16_t TOvcCommandProcessor::Translate(std::uint8_t key, std::uint8_t shift)
{
    if (IsModifierOrLock(key))
        return m_state == 1 ? ccPartial : ccNoCommand;
    if (m_state == 2) {
        m_state = 0;
        return ccNoCommand;
    }
    const bool pending = m_state == 1;
    for (const auto& table : m_tables) {
        if (!table.IsActive())
            continue;
        // A record that maps to ccNone yields 0 and so lets later tables try the key.
        if (const std::uint16_t command = TranslateInTable(table, key, shift); command != 0)
            return command;
    }
    m_state = 0;
    return pending ? ccPartialFailed : ccNoCommand;
}

void TOvcCommandProcessor::WriteTables(std::ostream& out) const
{
    out.write(kStreamMagic, 4);
    WriteU32(out, static_cast<std::uint32_t>(m_tables.size()));
    for (const auto& table : m_tables) {
        WriteU32(out, static_cast<std::uint32_t>(table.TableName().size()));
        out.write(table.TableName().data(), static_cast<std::streamsize>(table.TableName().size()));
        out.put(table.IsActive() ? 1 : 0);
        const bool builtIn = TOvcCommandTable::BuiltInRecords(table.TableName()) != nullptr;
        const auto& records = table.Records();
        WriteU32(out, builtIn ? 0 : static_cast<std::uint32_t>(records.size()));
        if (builtIn)
            continue;
        for (const auto& rec : records) {
            WriteU32(out, rec.Keys());
            out.put(static_cast<char>(rec.Cmd & 0xFF));
            out.put(static_cast<char>(rec.Cmd >> 8));
        }
    }
}

bool TOvcCommandProcessor::ReadTables(std::istream& in)
{
    char magic[4];
    if (!in.read(magic, 4) || !std::equal(magic, magic + 4, kStreamMagic))
        return false;
    std::uint32_t tableCount = 0;
    if (!ReadU32(in, tableCount))
        return false;
    // Lengths come from the stream: never trust them for an allocation before the bytes are there.
    constexpr std::uint32_t kMaxName = 4096;
    constexpr std::uint32_t kMaxRecords = 65536;
    std::vector<TOvcCommandTable> tables;
    for (std::uint32_t t = 0; t < tableCount; ++t) {
        std::uint32_t nameLength = 0;
        if (!ReadU32(in, nameLength) || nameLength > kMaxName)
            return false;
        std::string name(nameLength, '\0');
        if (!in.read(name.data(), nameLength))
            return false;
        const int active = in.get();
        std::uint32_t recordCount = 0;
        if (active == std::char_traits<char>::eof() || !ReadU32(in, recordCount) || recordCount > kMaxRecords)
            return false;
        std::vector<TOvcCmdRec> records;
        for (std::uint32_t r = 0; r < recordCount; ++r) {
            std::uint32_t keys = 0;
            unsigned char command[2];
            if (!ReadU32(in, keys) || !in.read(reinterpret_cast<char*>(command), 2))
                return false;
            records.push_back(
                TOvcCmdRec::FromKeys(keys, static_cast<std::uint16_t>(command[0] | (command[1] << 8))));
        }
        if (const auto* builtIn = TOvcCommandTable::BuiltInRecords(name))
            records = *builtIn;
        tables.emplace_back(std::move(name), active != 0, std::move(records));
    }
    m_tables = std::move(tables);
    m_state = 0;
    return true;
}
