// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The current directory with a trailing "/": where the audit log and the help file live. Empty when
// the current directory cannot be read (it was removed).
std::string CurrentProgramDir();
