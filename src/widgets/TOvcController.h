// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/TOvcCommandProcessor.h"

#include <cstdint>

// The per-window component that turns key presses into commands for the list box and the viewer.
// A window owns one (through a std::shared_ptr); the widgets hold it weakly, so destroying it simply
// leaves them without one.
class TOvcController
{
public:
    TOvcController() = default;

    TOvcCommandProcessor& EntryCommands() { return m_entryCommands; }
    const TOvcCommandProcessor& EntryCommands() const { return m_entryCommands; }

    // Shorthand for EntryCommands().Translate.
    std::uint16_t Translate(std::uint8_t key, std::uint8_t shift)
    {
        return m_entryCommands.Translate(key, shift);
    }

    // The century base of two-digit years. Values outside 1600 ... 3999 are refused (the old value stays)
    // and false is returned.
    int Epoch() const { return m_epoch; }
    bool SetEpoch(int epoch);

private:
    TOvcCommandProcessor m_entryCommands;
    int m_epoch = 1900;
};
