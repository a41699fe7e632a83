// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/SetHint.h"

class QDialog;
class QLayout;
class QPushButton;
class QString;
class QWidget;
class StatusBarPanel;

// Pieces the two scan settings dialogs share.

// A push button of the dialog's design size with its object name, caption and hint.
QPushButton* DialogButton(const char* name, const char* caption, const char* hint);

// Lays the dialog out with its fixed border: the controls, the column of buttons right of them and
// below both the status bar, with one panel for the hints and no size grip: at least 250 pixels wide,
// or as wide as the dialog's longest hint. Returns that panel.
StatusBarPanel* LayOutDialog(QDialog& dialog, QLayout* controls, QLayout* buttons);

// Centres the dialog as it shows, at the size its polished controls give it.
void CentreDialog(QDialog& dialog);
