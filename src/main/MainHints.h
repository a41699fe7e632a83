// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The hints of the main window's controls and commands: the tooltip, a bar, the status bar text.
namespace MainHints {

inline constexpr const char* kDrivesHint =
    "Connected Drives|Select connected drives which will be included in dusting";
inline constexpr const char* kDeleteHint = "Delete File|Delete selected file from report";
inline constexpr const char* kPrintButtonHint = "Print Report|Send results of dusting to connected printer";
inline constexpr const char* kPrintMenuHint = "Print Report|Send results of scan to connected printer";
inline constexpr const char* kDupesHint =
    "Duplicate File Report|Perform dusting to find all duplicate files on connected drives";
inline constexpr const char* kSizeHint =
    "Size Criteria Report|Perform dusting to find all files larger than selected size";
inline constexpr const char* kZeroHint = "Zero-Length Report|Perform dusting to find all files of size zero";
inline constexpr const char* kHelpHint = "Help Topics|Display help topics";
inline constexpr const char* kContactHint = "Contact Information|How to contact Corvane";
inline constexpr const char* kAboutHint = "About Lintwick|Lintwick version information";
inline constexpr const char* kFaqHint =
    "Frequently Asked Questions|See the answers to frequently asked questions";
inline constexpr const char* kNewHint = "New Feature Submission|Suggest a new feature for Lintwick";
inline constexpr const char* kDqcHint = "Data Quality Control|How to clean the data in your databases";
inline constexpr const char* kExitHint = "Exit|Exit Lintwick application";
inline constexpr const char* kCompareHint =
    "Compare Contents|Find which files of each group hold the same bytes";
inline constexpr const char* kUndoDeleteHint =
    "Undo Delete|Bring the files of the last Delete back from the trash";
inline constexpr const char* kMarkCopiesHint =
    "Mark Copies|Mark every file whose content a newer file of its group has";
inline constexpr const char* kMarkAllInGroupHint =
    "Mark All in Group|Mark every file of the selected row's group";
inline constexpr const char* kUnmarkAllHint = "Unmark All|Remove every mark from the list";
inline constexpr const char* kAuditHint =
    "View Delete Log|Displays audit report listing all files that have been deleted";
inline constexpr const char* kHomepageMenuHint =
    "Corvane Homepage|Launch web browser and visit Corvane homepage";
inline constexpr const char* kShowTipsHint = "Show Tips|Display window with data quality control tips";
inline constexpr const char* kLabel1Hint = "Visit Home Page|Launch browser and visit Corvane home page";
inline constexpr const char* kLabel4Hint = "Clean Your Data|Find out how to improve the quality of your data";
inline constexpr const char* kMaskHint = "File Mask|Filter in only desired file types";
inline constexpr const char* kDrivesEditHint = "Drives List|List of all currently connected drives";

} // namespace MainHints
