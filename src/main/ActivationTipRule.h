// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What became the program's active window.
enum class ActivatedWindow
{
    Main,     // the main window
    NonModal, // another window of the program that is not modal, such as the audit report window
    Modal,    // a dialog, message box or the tip window, modal over the main window
    Outside,  // no window of the program: the user went to another program
};

// When activating the main window shows a tip: at its first activation, and whenever the focus comes
// back to it from a non-modal window of the program. Coming back from a modal window that closed, or
// from another program after leaving from the main window, shows none.
class ActivationTipRule
{
public:
    // Records a change of the active window; true when it is the main window and a tip is due.
    bool WindowActivated(ActivatedWindow window);

private:
    bool m_activatedBefore = false;
    // The program's own window that was active last; a visit to another program does not change it.
    ActivatedWindow m_lastOwn = ActivatedWindow::Outside;
};
