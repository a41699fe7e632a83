// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QLabel;
class QLayout;
class QPushButton;
class QString;
class QWidget;

// Pieces the two scan settings dialogs share.

// A hint "short|long": the short part becomes the tooltip, the long part the status bar text.
void SetHint(QWidget* control, const char* hint);

// A push button of the dialog's design size with its object name, caption and hint.
QPushButton* DialogButton(const char* name, const char* caption, const char* hint);

// The dialog's status bar below its controls: one panel 250 pixels wide for the hints, no size grip.
// Returns the panel.
QLabel* AddStatusBar(QLayout* dialogLayout);
