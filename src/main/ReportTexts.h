// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The fixed texts of the three report commands and of Compare Contents.
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

// Panel 1 while Compare Contents runs.
inline constexpr const char* kComparing = "Comparing Contents";
// Between the bytes read and the bytes to read: "1.2 GB of 3.4 GB".
inline constexpr const char* kBytesOf = " of ";
// A fault of the content check, such as too little memory.
inline constexpr const char* kCompareFailed = "The contents could not be compared.";

} // namespace ReportTexts
