// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Installs, once per process, the accessibility factory that gives the list box and the viewer their
// interfaces for screen readers. The widgets call it when they are created.
void InstallOvcAccessibleFactory();

// Tells a screen reader, when one listens, that the checked state of child (numbered as the widget's
// accessible interface numbers its children) changed.
void NotifyCheckedChanged(QWidget* widget, int child);
