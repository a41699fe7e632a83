// SPDX-License-Identifier: GPL-3.0-or-later
// lintwick-report as a user runs it: the real binary, its output streams and exit status.
#include "TempTree.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

namespace {

struct Outcome
{
    int status = -1;
    std::string out;
    std::string err;
    std::string lastErrLine() const
    {
        std::string e = err;
        while (!e.empty() && e.back() == '\n')
            e.pop_back();
        const size_t nl = e.rfind('\n');
        return nl == std::string::npos ? e : e.substr(nl + 1);
    }
};

std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class ReportCli : public ::testing::Test
{
protected:
    // Runs lintwick-report in the tree's root under the given environment settings.
    Outcome report(const std::vector<std::string>& args, const std::string& env = "LC_ALL=C LANG=C")
    {
        std::string command = "cd " + quoted(tree.root()) + " && env TZ=UTC " + env + " " + LINTWICK_REPORT;
        for (const std::string& a : args)
            command += " " + quoted(a);
        command +=
            " >" + quoted(outFile.root() + "out") + " 2>" + quoted(outFile.root() + "err") + " </dev/null";
        Outcome run;
        const int raw = std::system(command.c_str());
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = slurp(outFile.root() + "out");
        run.err = slurp(outFile.root() + "err");
        return run;
    }

    TempTree tree;
    TempTree outFile;
};

constexpr std::time_t kAfternoon = 912870246; // 12/5/98 3:04:06 PM UTC
constexpr std::time_t kMidnight = 912816000;  // 12/5/98 0:00:00 UTC

} // namespace

TEST_F(ReportCli, DuplicatesPrintGroupsWithEmptyLinesBetween)
{
    tree.file("a/README.TXT", 1234567, kAfternoon);
    tree.file("b/readme.txt", 5, kMidnight);
    tree.file("a/z.log", 1, kAfternoon);
    tree.file("c/Z.LOG", 1, kAfternoon);
    tree.file("c/unique.bin", 1, kAfternoon);

    const Outcome run = report({"dupes", "."});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lastErrLine(), "Dust Complete: 2 Groups Found");
    std::vector<std::string> lines;
    std::istringstream in(run.out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], "");
    const auto has = [&](const std::string& l) {
        return std::find(lines.begin(), lines.end(), l) != lines.end();
    };
    EXPECT_TRUE(has("12/5/98 3:04:06 PM    1,234,567        ./a/README.TXT"));
    EXPECT_TRUE(has("12/5/98               5                ./b/readme.txt"));
    EXPECT_TRUE(has("12/5/98 3:04:06 PM    1                ./c/Z.LOG"));
}

TEST_F(ReportCli, SizeAndZeroReports)
{
    tree.file("big.iso", 2LL << 20, kAfternoon);
    tree.file("kb.dat", 1024);
    tree.file("empty.tmp", 0, kAfternoon);
    tree.file("empty.txt", 0, kAfternoon);
    tree.file("sparse4g.img", 4LL << 30, kAfternoon);

    Outcome run = report({"size", "--mb", "2", tree.root()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lastErrLine(), "Dust Complete: 2 Found");
    EXPECT_NE(run.out.find("4,294,967,296"), std::string::npos);

    run = report({".", "--kb=1"}, "LC_ALL=C"); // MODE must come first
    EXPECT_EQ(run.status, 2);

    run = report({"size", "--kb", "1", "."});
    EXPECT_EQ(run.lastErrLine(), "Dust Complete: 3 Found");
    run = report({"size", ".", "--kb", "0"});
    EXPECT_EQ(run.lastErrLine(), "Dust Complete: 5 Found");

    run = report({"zero", "--mask", "  *.TMP ", "."});
    EXPECT_EQ(run.out, "12/5/98 3:04:06 PM    0                ./empty.tmp\n");
    EXPECT_EQ(run.lastErrLine(), "Dust Complete: 1 Found");

    run = report({"zero", "--mask", "*.none", "--", "."});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Dust Complete - Nothing Found\n"); // no progress line: stderr is a file
}

TEST_F(ReportCli, RootsAsTypedEachWalkedOnce)
{
    tree.file("sub/x.txt", 0, kAfternoon);
    const Outcome run = report({"zero", "sub", "./sub/", "sub/../sub"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "12/5/98 3:04:06 PM    0                sub/x.txt\n");
}

TEST_F(ReportCli, BadInputIsRefusedBeforeAnythingIsScanned)
{
    tree.file("file.txt");
    struct Case
    {
        std::vector<std::string> args;
        std::string lastLine; // empty: a usage message
    };
    const Case cases[] = {
        {{"zero", "--mask", " \t ", "missing"}, "Please enter a filename mask before dusting."},
        {{"zero", "missing"}, "Not a directory: missing"},
        {{"zero", ".", "file.txt"}, "Not a directory: file.txt"},
        {{"size", "--kb", "1", "--mb", "1", "."}, ""},
        {{"size", "--kb", "-1", "."}, ""},
        {{"size", "--kb", "1.5", "."}, ""},
        {{"size", "--mb", "99999999999999999999", "."}, ""},
        {{"size", "--kb"}, ""},
        {{"size", "--frobnicate", "."}, ""},
        {{"everything", "."}, ""},
        {{}, ""},
    };
    for (const Case& c : cases) {
        const Outcome run = report(c.args);
        std::string shown;
        for (const std::string& a : c.args)
            shown += a + " ";
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_EQ(run.out, "") << shown;
        if (c.lastLine.empty())
            EXPECT_NE(run.err.find("Usage: lintwick-report MODE"), std::string::npos) << shown;
        else
            EXPECT_EQ(run.lastErrLine(), c.lastLine) << shown;
    }

    const Outcome help = report({"zero", ".", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: lintwick-report MODE"), std::string::npos);
}

TEST_F(ReportCli, RowsFollowTheUsersLocale)
{
    tree.file("a/same", 1234567, kAfternoon);
    tree.file("b/same", 1, kAfternoon);
    const Outcome run = report({"dupes", "."}, "LC_ALL=de_DE.UTF-8");
    EXPECT_NE(run.out.find("05.12.98 15:04:06     1.234.567        ./a/same"), std::string::npos) << run.out;
}
