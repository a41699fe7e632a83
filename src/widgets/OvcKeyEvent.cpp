// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/OvcKeyEvent.h"

#include "widgets/OvcVirtualKeys.h"

#include <QKeyEvent>

namespace {

std::uint8_t VirtualKey(int qtKey, bool keypad)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<std::uint8_t>(vk::LetterA + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<std::uint8_t>((keypad ? vk::Numpad0 : vk::Digit0) + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<std::uint8_t>(vk::F1 + (qtKey - Qt::Key_F1));
    switch (qtKey) {
    case Qt::Key_Backspace:
        return vk::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return vk::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vk::Return;
    case Qt::Key_Shift:
        return vk::Shift;
    case Qt::Key_Control:
        return vk::Control;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return vk::Menu;
    case Qt::Key_Pause:
        return vk::Pause;
    case Qt::Key_CapsLock:
        return vk::Capital;
    case Qt::Key_Escape:
        return vk::Escape;
    case Qt::Key_Space:
        return vk::Space;
    case Qt::Key_PageUp:
        return vk::Prior;
    case Qt::Key_PageDown:
        return vk::Next;
    case Qt::Key_End:
        return vk::End;
    case Qt::Key_Home:
        return vk::Home;
    case Qt::Key_Left:
        return vk::Left;
    case Qt::Key_Up:
        return vk::Up;
    case Qt::Key_Right:
        return vk::Right;
    case Qt::Key_Down:
        return vk::Down;
    case Qt::Key_Insert:
        return vk::Insert;
    case Qt::Key_Delete:
        return vk::Delete;
    case Qt::Key_NumLock:
        return vk::NumLock;
    case Qt::Key_ScrollLock:
        return vk::ScrollLock;
    case Qt::Key_Asterisk:
        return keypad ? vk::Multiply : 0;
    case Qt::Key_Plus:
        return keypad ? vk::Add : 0;
    case Qt::Key_Minus:
        return keypad ? vk::Subtract : 0;
    case Qt::Key_Period:
        return keypad ? vk::Decimal : 0;
    case Qt::Key_Slash:
        return keypad ? vk::Divide : 0;
    default:
        return 0;
    }
}

// The digit under a shifted symbol of the US layout: ')' is Shift+0, '!' Shift+1 ...
int ShiftedDigit(int qtKey)
{
    static constexpr int kSymbols[10] = {
        Qt::Key_ParenRight, Qt::Key_Exclam,      Qt::Key_At,        Qt::Key_NumberSign, Qt::Key_Dollar,
        Qt::Key_Percent,    Qt::Key_AsciiCircum, Qt::Key_Ampersand, Qt::Key_Asterisk,   Qt::Key_ParenLeft};
    for (int d = 0; d < 10; ++d)
        if (kSymbols[d] == qtKey)
            return d;
    return -1;
}

} // namespace

OvcKey OvcKeyFromEvent(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    OvcKey key;
    if (modifiers & Qt::ShiftModifier)
        key.Shift |= ssShift;
    if (modifiers & Qt::ControlModifier)
        key.Shift |= ssCtrl;
    if (modifiers & Qt::AltModifier)
        key.Shift |= ssAlt;
    const bool keypad = modifiers & Qt::KeypadModifier;
    key.Key = VirtualKey(event.key(), keypad);
    if (key.Key == 0 && (modifiers & Qt::ShiftModifier) && !keypad) {
        if (const int digit = ShiftedDigit(event.key()); digit >= 0)
            key.Key = vk::Digit(digit);
    }
    // Backtab is Qt's name for Shift+Tab; some platforms leave the Shift bit out.
    if (event.key() == Qt::Key_Backtab)
        key.Shift |= ssShift;
    return key;
}
