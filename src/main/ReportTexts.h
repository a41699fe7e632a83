// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The fixed texts of the three report commands.
namespace ReportTexts {

inline constexpr const char* kDupesQuestion = "Run report searching for duplicate filenames?";
inline constexpr const char* kZeroQuestion = "Run report searching for zero-length files?";
inline constexpr const char* kMaskMissing = "Please enter a filename mask before dusting.";
// Followed by the root being walked.
inline constexpr const char* kDusting = "Dusting: ";
// Follows the number of files examined so far, written with the locale's thousands separator.
inline constexpr const char* kFilesExamined = " files";
// A fault of the walk that carries no message of its own.
inline constexpr const char* kRunFailed = "The report run failed.";

} // namespace ReportTexts
