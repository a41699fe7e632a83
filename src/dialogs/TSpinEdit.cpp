// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TSpinEdit.h"

#include <QLineEdit>

TSpinEdit::TSpinEdit(QWidget* parent) : QAbstractSpinBox(parent)
{
    lineEdit()->setMaxLength(kMaxLength);
    setAccelerated(false);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
}

int TSpinEdit::Value() const
{
    return m_range.ValueOf(lineEdit()->text().toStdString());
}

void TSpinEdit::SetValue(int value)
{
    lineEdit()->setText(QString::number(m_range.Clamped(value)));
}

void TSpinEdit::ClampText()
{
    const QString clamped =
        QString::fromStdString(m_range.TextAfterFocusLoss(lineEdit()->text().toStdString()));
    if (clamped != lineEdit()->text())
        lineEdit()->setText(clamped);
}

void TSpinEdit::stepBy(int steps)
{
    SetValue(m_range.Stepped(lineEdit()->text().toStdString(), steps));
    selectAll();
}

QValidator::State TSpinEdit::validate(QString&, int&) const
{
    // Anything may be typed; what it is worth is decided when it is read.
    return QValidator::Acceptable;
}

void TSpinEdit::fixup(QString&) const {}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const
{
    return StepUpEnabled | StepDownEnabled;
}

void TSpinEdit::focusOutEvent(QFocusEvent* event)
{
    ClampText();
    QAbstractSpinBox::focusOutEvent(event);
}
