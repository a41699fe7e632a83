// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The maker's addresses and the fixed texts the main window's commands show.
namespace MainTexts {

inline constexpr const char* kProductName = "Lintwick";
inline constexpr const char* kHomePage = "https://www.corvane.example/";
inline constexpr const char* kHomePageLabel = "www.corvane.example";
inline constexpr const char* kFeatureAddress = "ideas@corvane.example";
inline constexpr const char* kTelephone = "(503) 555-0142";

inline constexpr const char* kBrowserNotLaunched = "Web browser could not be launched.";
inline constexpr const char* kNewFeaturePrefix =
    "Idea for a new feature? We would like to know about it! Email it to ";
inline constexpr const char* kNewFeatureSuffix = " - we will do our best to put it in our next free release.";
inline constexpr const char* kCleanDataPrefix = "Contact Corvane at ";
inline constexpr const char* kCleanDataSuffix =
    " in order to receive data quality diagnostic tools at no cost, or to discuss other Corvane data quality "
    "products and services. Utilizing ODBC, the diagnostic tools will snap on top of your database and "
    "determine what kind of data quality problems you have. Then, if the problems are worth worrying about, "
    "that's where we come in. Remember, a system is only as good as the data within it.";

// Help topic keys of the main window's commands.
inline constexpr const char* kContactTopic = "SCRIBBLE90";
inline constexpr const char* kFaqTopic = "SCRIBBLE100";
inline constexpr const char* kDataQualityTopic = "SCRIBBLE230";

} // namespace MainTexts
