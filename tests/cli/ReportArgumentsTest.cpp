// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportArguments.h"

#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace {

// What a command line (arguments split at blanks) asks for, in a line: mode, mask, size threshold,
// threads, format, content, [roots]; or "help", "version" or "error".
std::string Parsed(const std::string& line)
{
    std::istringstream words(line);
    const ReportArguments a = ParseReportArguments({std::istream_iterator<std::string>(words), {}});
    if (a.help || a.version || !a.error.empty())
        return a.help ? "help" : a.version ? "version" : "error";
    const char* const formats[] = {"text", "csv", "json"};
    std::string out = a.mode == ScanMode::Duplicates   ? "dupes"
                      : a.mode == ScanMode::LargerThan ? "size"
                                                       : "zero";
    out += " " + a.mask + " " + std::to_string(a.sizeThreshold) + " " + std::to_string(a.threads) + " " +
           formats[static_cast<int>(a.format)] + (a.content ? " content" : "");
    for (const std::string& root : a.roots)
        out += " [" + root + "]";
    return out;
}

} // namespace

TEST(ReportArguments, OptionsStandAnywhereAfterTheModeAndEndAtTwoDashes)
{
    const std::pair<const char*, const char*> cases[] = {
        {"dupes", "dupes *.* 1024000 0 text"},
        {"size /home --mb 3 --mask=*.iso /data", "size *.iso 3145728 0 text [/home] [/data]"},
        {"zero -- --mask -", "zero *.* 1024000 0 text [--mask] [-]"},
        {"size --kb 0", "size *.* 0 0 text"},
        {"size --kb 4194304", "size *.* 4294967296 0 text"},
        {"size --mb 8796093022207", "size *.* 9223372036853727232 0 text"}, // the last to fit 64 bits
        {"zero --threads=64 /", "zero *.* 1024000 64 text [/]"},
        {"dupes --content --format csv", "dupes *.* 1024000 0 csv content"},
        {"zero --format=csv --format json", "zero *.* 1024000 0 json"},
        {"--version", "version"},
        {"size / --version", "version"},
        {"size -- --version", "size *.* 1024000 0 text [--version]"},
        {"zero x --help", "help"}};
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(Parsed(line), expected) << line;
}

TEST(ReportArguments, MalformedCommandLinesAreRefused)
{
    std::istringstream refused(
        "|everything /|size --frobnicate /|size --kb|size --kb=|size --kb -1|size --kb +5|size --kb 1.5|"
        "size --mb 8796093022208|size --mb=1 --kb=1|dupes --kb 5|zero / --mb=1|zero --content|"
        "zero --format JSON|zero --threads 65|zero --threads two");
    for (std::string line; std::getline(refused, line, '|');)
        EXPECT_EQ(Parsed(line), "error") << line;
}
