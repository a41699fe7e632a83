// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/TOvcCustomTextFileViewer.h"

// The text file viewer as windows place it. All behaviour is in its bases.
class TOvcTextFileViewer : public TOvcCustomTextFileViewer
{
public:
    using TOvcCustomTextFileViewer::TOvcCustomTextFileViewer;
};
