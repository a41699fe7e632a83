// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestHooks.h"

TestHooks MakeTestHooks(const InterruptStop&)
{
    return {};
}
