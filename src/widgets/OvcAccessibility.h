// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Installs, once per process, the accessibility factory that gives the list box and the viewer their
// interfaces for screen readers. The widgets call it when they are created.
void InstallOvcAccessibleFactory();
