// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/TOvcCustomVirtualListBox.h"

// The virtual list box as windows place it. All behaviour is in TOvcCustomVirtualListBox.
class TOvcVirtualListbox : public TOvcCustomVirtualListBox
{
public:
    using TOvcCustomVirtualListBox::TOvcCustomVirtualListBox;
};
