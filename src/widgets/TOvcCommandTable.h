// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One key binding: a key with its shift state, optionally followed by a second key, and the command
// it yields. SecondKey 0 means a single-key binding.
struct TOvcCmdRec
{
    std::uint8_t Key1 = 0;
    std::uint8_t SS1 = 0;
    std::uint8_t Key2 = 0;
    std::uint8_t SS2 = 0;
    std::uint16_t Cmd = 0;

    // The four key bytes as one number (Key1 in the low byte), the form in which tables are stored.
    std::uint32_t Keys() const;
    static TOvcCmdRec FromKeys(std::uint32_t keys, std::uint16_t command);

    friend bool operator==(const TOvcCmdRec&, const TOvcCmdRec&) = default;
};

// A named, ordered list of key bindings that can be switched on and off.
class TOvcCommandTable
{
public:
    TOvcCommandTable() = default;
    TOvcCommandTable(std::string name, bool active, std::vector<TOvcCmdRec> records = {});

    const std::string& TableName() const { return m_name; }
    void SetTableName(std::string name) { m_name = std::move(name); }
    bool IsActive() const { return m_active; }
    void SetActive(bool active) { m_active = active; }

    const std::vector<TOvcCmdRec>& Records() const { return m_records; }
    void AddRecord(const TOvcCmdRec& record) { m_records.push_back(record); }
    void Clear() { m_records.clear(); }
    int Count() const { return static_cast<int>(m_records.size()); }

    // The built-in tables every controller starts with: "Default" (active), "WordStar" and "Grid".
    static TOvcCommandTable Default();
    static TOvcCommandTable WordStar();
    static TOvcCommandTable Grid();
    // The records of the built-in table of that name (compared without regard to case of a-z), or
    // nullptr for any other name.
    static const std::vector<TOvcCmdRec>* BuiltInRecords(const std::string& name);

private:
    std::string m_name;
    bool m_active = true;
    std::vector<TOvcCmdRec> m_records;
};
