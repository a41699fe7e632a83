// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/TipTexts.h"

// Telephone numbers are of the 555-01xx range and the web address is of the .example domain: the
// tips carry no real contact data.
const std::array<std::string_view, kTipCount> TipTexts = {
    "Merging several databases into one sounds simple until you try it: different layouts, different "
    "codes, the same customer spelled five ways and no common key to join on. Corvane's "
    "consolidation engineers have brought together hundreds of databases. They do it fast and "
    "accurately, so you can get back to your business.",
    "A survey by Halvorsen Research of 212 data warehouse users found that data quality is the top "
    "challenge they face. Corvane can help you meet it head on.",
    "Up to 80% of the time and cost involved in a data warehouse project is spent on data quality "
    "issues. Stop wasting time and money. Call Corvane today.",
    "Marketing databases promise customer profiles, qualified prospects, cross-selling and a clear "
    "view of buying patterns. Poor data breaks every one of those promises: mailings go to people "
    "who moved years ago, one household gets four catalogues and the buying patterns you see are "
    "really typing errors. Corvane offers free diagnostic tools that show how good the data in your "
    "marketing database really is, before you spend another dollar.",
    "Online analytical processing (OLAP) lets you slice and dice your business from every angle, but "
    "each decision it supports is only as good as the data underneath. Wrong codes and duplicate "
    "records turn a sharp report into a guess. Corvane's free diagnostic tools measure the quality "
    "of the data that feeds your OLAP cubes.",
    "Is the same prospect in your database several times? Robert J. Smith of Acme Tool Company, Bob "
    "Smith of Acme Tools Co. and R. Smith of ACME Tool Corp. may all be one person at one company, "
    "and each copy costs you a mailing, a call and a confused customer. Corvane finds and merges "
    "these records for you. Call Corvane at (503) 555-0142 to find out how.",
    "How many ways can one company name be written? A single car maker may appear as Northstar "
    "Motors, Northstar Motor Co., North Star Motors Inc. and NSM. Searches and queries miss three of "
    "the four, and your totals are wrong. Corvane standardises company names so every query finds "
    "them all.",
    "An information system is only as good as the data within it. For a free data quality diagnostic "
    "check - contact Corvane today.",
    "Combining multiple databases together into one, and finding it's not as easy as you thought? "
    "Give us a call, we'd like to help!",
    "Corvane's diagnostic tools attach to your database through ODBC at no cost to you. They read "
    "your data where it lives, leave it untouched and report the problems they find. To get your "
    "free copy, call Corvane at (503) 555-0142.",
    "Data mining digs through your data for patterns nobody has seen before. When the data is full "
    "of duplicates, misspellings and missing values, the patterns it finds are often just the "
    "errors. Clean data gives mining results you can trust. Corvane's free diagnostic tools show you "
    "where your data stands before you dig.",
    "Duplicate people in your customer or prospect data cost real money: every extra copy means "
    "another mailing, another call and a customer who wonders whether you know who they are. Corvane "
    "finds the duplicates hidden in your data and can help you remove them for good.",
    "Data marts are departmental data warehouses, built to answer the questions of one part of the "
    "business. Like any warehouse they need good data to give good answers. Corvane's free "
    "diagnostic tools check the data in your data mart.",
    "Want to know more about data quality and what Corvane can do for you? Visit the Corvane web "
    "site at https://www.corvane.example/",
    "Is a data quality problem driving you nuts? Take a deep breath and let the experts sort it out. "
    "Call Corvane today at (503) 555-0142.",
    "ODBC (Open Database Connectivity) is a standard way for programs to talk to databases. Because "
    "Corvane's tools speak ODBC, they work with whatever database platform you run: Oracle, DB2, SQL "
    "Server, Sybase, Informix, Access, FoxPro, Paradox, dBASE files and even delimited text files. "
    "No conversion, no export, no fuss.",
};
