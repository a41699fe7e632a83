// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/SetHint.h"

class QDialog;
class QLabel;
class QLayout;
class QPushButton;
class QString;
class QWidget;

// Pieces the two scan settings dialogs share.

// A push button of the dialog's design size with its object name, caption and hint.
QPushButton* DialogButton(const char* name, const char* caption, const char* hint);

// Lays the dialog out with its fixed border: the controls, the column of buttons right of them and
// below both the status bar, with one panel at least 250 pixels wide for the hints and no size grip.
// Returns that panel.
QLabel* LayOutDialog(QDialog& dialog, QLayout* controls, QLayout* buttons);
