// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <utility>
#include <vector>

class QPrinter;

// What the print dialog chose for a job on a CUPS queue.
struct CupsJobSettings
{
    enum class Sides
    {
        OneSided,
        Auto, // both sides, turned on the edge that suits the orientation
        LongEdge,
        ShortEdge,
    };

    std::string printer; // the queue, possibly with "/instance"
    std::string media;   // the page size's key, such as "A4" or "Letter"
    int copies = 1;
    bool collate = false;
    Sides sides = Sides::OneSided;
    bool landscape = false;
    std::vector<std::pair<std::string, std::string>> dialogOptions; // the dialog's own CUPS options
};

using CupsOption = std::pair<std::string, std::string>;

// The job options for settings, the same that Qt's CUPS engine sends when it prints a job itself:
// media, copies and collation when more than one copy, sides, landscape, then the dialog's options.
std::vector<CupsOption> CupsJobOptions(const CupsJobSettings& settings);

// The settings the printer holds after its print dialog.
CupsJobSettings CupsJobSettingsOf(QPrinter& printer);

// Hands a finished PDF file to the CUPS queue of settings.printer as one job titled title. False,
// with CUPS's reason in error, when the queue did not take it.
bool SubmitToCups(const std::string& pdfFile, const CupsJobSettings& settings, const std::string& title,
                  std::string& error);
