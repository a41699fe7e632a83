// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

class QKeyEvent;

// A key press as the command tables see it.
struct OvcKey
{
    std::uint8_t Key = 0;   // virtual-key code; 0 for keys the tables cannot name
    std::uint8_t Shift = 0; // ssShift + ssCtrl + ssAlt held with it
};

// Turns a Qt key event into the virtual-key code and shift state of the command tables. Shifted digits
// of a US layout (Ctrl+Shift+3 arrives as '#') count as their digit, so the marker keys work.
OvcKey OvcKeyFromEvent(const QKeyEvent& event);
