// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The 8-bit key codes and shift states of the command tables. The codes are the classic PC virtual-key
// numbers, so stored tables keep their meaning; letters and digits are their upper-case ASCII codes.
namespace vk {
inline constexpr std::uint8_t Back = 0x08;
inline constexpr std::uint8_t Tab = 0x09;
inline constexpr std::uint8_t Return = 0x0D;
inline constexpr std::uint8_t Shift = 0x10;
inline constexpr std::uint8_t Control = 0x11;
inline constexpr std::uint8_t Menu = 0x12; // Alt
inline constexpr std::uint8_t Pause = 0x13;
inline constexpr std::uint8_t Capital = 0x14; // Caps Lock
inline constexpr std::uint8_t Escape = 0x1B;
inline constexpr std::uint8_t Space = 0x20;
inline constexpr std::uint8_t Prior = 0x21; // Page Up
inline constexpr std::uint8_t Next = 0x22;  // Page Down
inline constexpr std::uint8_t End = 0x23;
inline constexpr std::uint8_t Home = 0x24;
inline constexpr std::uint8_t Left = 0x25;
inline constexpr std::uint8_t Up = 0x26;
inline constexpr std::uint8_t Right = 0x27;
inline constexpr std::uint8_t Down = 0x28;
inline constexpr std::uint8_t Insert = 0x2D;
inline constexpr std::uint8_t Delete = 0x2E;
inline constexpr std::uint8_t Digit0 = 0x30;  // '0' ... '9' = 0x30 ... 0x39
inline constexpr std::uint8_t LetterA = 0x41; // 'A' ... 'Z' = 0x41 ... 0x5A
inline constexpr std::uint8_t Numpad0 = 0x60;
inline constexpr std::uint8_t Multiply = 0x6A;
inline constexpr std::uint8_t Add = 0x6B;
inline constexpr std::uint8_t Subtract = 0x6D;
inline constexpr std::uint8_t Decimal = 0x6E;
inline constexpr std::uint8_t Divide = 0x6F;
inline constexpr std::uint8_t F1 = 0x70; // F1 ... F24 = 0x70 ... 0x87
inline constexpr std::uint8_t NumLock = 0x90;
inline constexpr std::uint8_t ScrollLock = 0x91;

inline constexpr std::uint8_t Letter(char upper)
{
    return static_cast<std::uint8_t>(upper);
}
inline constexpr std::uint8_t Digit(int d)
{
    return static_cast<std::uint8_t>(Digit0 + d);
}
} // namespace vk

// Shift-state bits of a record and of Translate; ssCtrlOrNone is only meaningful as a second key's
// shift state and accepts that key with no modifier or with Ctrl alone.
inline constexpr std::uint8_t ssNone = 0;
inline constexpr std::uint8_t ssShift = 2;
inline constexpr std::uint8_t ssCtrl = 4;
inline constexpr std::uint8_t ssAlt = 8;
inline constexpr std::uint8_t ssCtrlOrNone = 128;
