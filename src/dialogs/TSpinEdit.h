// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/SpinEditRange.h"

#include <QAbstractSpinBox>

// An integer field with up and down arrows that keeps what the user types, up to 5 characters. Text
// that is not an integer stays as typed and reads as the minimum; an integer outside the range is
// clamped when the field loses the focus. The arrows (buttons, keys, wheel) step by the increment
// and clamp.
class TSpinEdit : public QAbstractSpinBox
{
public:
    static constexpr int kMaxLength = 5;

    explicit TSpinEdit(QWidget* parent = nullptr);

    int Value() const;
    // Clamps value into the range (unless minimum and maximum are equal) and shows it.
    void SetValue(int value);
    int MinValue() const { return m_range.MinValue; }
    void SetMinValue(int value) { m_range.MinValue = value; }
    int MaxValue() const { return m_range.MaxValue; }
    void SetMaxValue(int value) { m_range.MaxValue = value; }
    int Increment() const { return m_range.Increment; }
    void SetIncrement(int value) { m_range.Increment = value; }
    SpinEditRange& Range() { return m_range; }

    // What losing the focus does: an integer is clamped and shown, other text stays.
    void ClampText();

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    SpinEditRange m_range;
};
