// SPDX-License-Identifier: GPL-3.0-or-later
// lintwick-report as a user runs it: the real binary, its output streams and exit status.
#include "TempTree.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The last line of a stream's text, without its line end.
std::string lastLine(std::string text)
{
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    const size_t nl = text.rfind('\n');
    return nl == std::string::npos ? text : text.substr(nl + 1);
}

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Outcome
{
    int status = -1;
    std::string out;
    std::string err;
    std::string lastErrLine() const { return lastLine(err); }
};

std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
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

// The test build of lintwick-report, running in the background with its output streams on pipes.
class Background
{
public:
    Background(const std::vector<std::string>& args, const std::vector<std::string>& env)
    {
        int out[2], err[2];
        if (::pipe(out) != 0 || ::pipe(err) != 0)
            throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        for (int fd : {out[0], out[1], err[0], err[1]})
            posix_spawn_file_actions_addclose(&actions, fd);
        std::vector<std::string> argStrings{LINTWICK_REPORT_TEST};
        argStrings.insert(argStrings.end(), args.begin(), args.end());
        std::vector<char*> argv, envp;
        for (std::string& a : argStrings)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> envStrings = env;
        for (std::string& e : envStrings)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        if (posix_spawn(&m_pid, LINTWICK_REPORT_TEST, &actions, nullptr, argv.data(), envp.data()) != 0)
            throw std::runtime_error("spawn");
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        m_out = out[0];
        m_err = err[0];
    }
    ~Background()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        ::close(m_out);
        ::close(m_err);
    }

    void interrupt() { ::kill(m_pid, SIGINT); }
    // The line of /proc/PID/status that starts with name, such as "SigIgn:".
    std::string status(const std::string& name) const
    {
        std::istringstream lines(slurp("/proc/" + std::to_string(m_pid) + "/status"));
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with(name))
                return line;
        }
        return {};
    }

    // Reads standard error until it holds text, or the stream ends.
    bool waitForError(const std::string& text)
    {
        while (err.find(text) == std::string::npos) {
            if (!readSome(m_err, err))
                return false;
        }
        return true;
    }

    // Waits until standard output has something to read, without reading it.
    void waitForOutput()
    {
        pollfd p{m_out, POLLIN, 0};
        ::poll(&p, 1, -1);
    }

    // Reads both streams to their end and returns the raw wait status.
    int finish()
    {
        bool outOpen = true, errOpen = true;
        while (outOpen || errOpen) {
            pollfd p[2] = {{outOpen ? m_out : -1, POLLIN, 0}, {errOpen ? m_err : -1, POLLIN, 0}};
            ::poll(p, 2, -1);
            if (p[0].revents)
                outOpen = readSome(m_out, out);
            if (p[1].revents)
                errOpen = readSome(m_err, err);
        }
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return status;
    }

    std::string out, err;

private:
    static bool readSome(int fd, std::string& into)
    {
        char buffer[65536];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0)
            into.append(buffer, static_cast<size_t>(got));
        return got > 0;
    }

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
};

} // namespace

TEST_F(ReportCli, DuplicatesPrintGroupsWithEmptyLinesBetweenInTheUsersLocale)
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

    const Outcome german = report({"dupes", "."}, "LC_ALL=de_DE.UTF-8");
    EXPECT_NE(german.out.find("05.12.98 15:04:06     1.234.567        ./a/README.TXT"), std::string::npos)
        << german.out;
}

TEST_F(ReportCli, SizeAndZeroReports)
{
    tree.file("big.iso", 2LL << 20, kAfternoon);
    tree.file("kb.dat", 1024);
    tree.file("empty.tmp", 0, kAfternoon);
    tree.file("empty.txt", 0, kAfternoon);
    tree.file("sparse4g.img", 4LL << 30, kAfternoon);
    tree.file("sub/x.txt", 0, kAfternoon);

    Outcome run = report({"size", "--mb", "2", tree.root()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lastErrLine(), "Dust Complete: 2 Found");
    EXPECT_NE(run.out.find("4,294,967,296"), std::string::npos);

    run = report({"size", "--kb", "1", "."});
    EXPECT_EQ(run.lastErrLine(), "Dust Complete: 3 Found");
    run = report({"size", ".", "--kb", "0"});
    EXPECT_EQ(run.lastErrLine(), "Dust Complete: 6 Found");
    // Roots as typed, each walked once.
    run = report({"zero", "sub", "./sub/", "sub/../sub"});
    EXPECT_EQ(run.out, "12/5/98 3:04:06 PM    0                sub/x.txt\n");

    run = report({"zero", "--mask", "  *.TMP ", "."});
    EXPECT_EQ(run.out, "12/5/98 3:04:06 PM    0                ./empty.tmp\n");
    EXPECT_EQ(run.lastErrLine(), "Dust Complete: 1 Found");

    run = report({"zero", "--mask", "*.none", "--", "."});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Dust Complete - Nothing Found\n"); // no progress line: stderr is a file
}

TEST_F(ReportCli, FoldersThatCannotBeReadAreToldOfBeforeTheOutcome)
{
    tree.file("closed/hidden.txt");
    tree.file("open/empty.txt");
    ::chmod(tree.root().c_str(), 0755);
    ::chmod(tree.path("closed").c_str(), 0);
    // Run as nobody where the test runs as root, who could read every folder.
    const Outcome run =
        report({"zero", "."},
               ::geteuid() == 0 ? "LC_ALL=C setpriv --reuid=65534 --regid=65534 --clear-groups" : "LC_ALL=C");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "lintwick-report: 1 folder could not be read: ./closed/ (Permission denied)\n"
                       "Dust Complete: 1 Found\n");
}

TEST_F(ReportCli, BadInputIsRefusedBeforeAnythingIsScanned)
{
    tree.file("file.txt");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"zero", "--mask", " \t ", "missing"}, "Please enter a filename mask before dusting."},
        {{"zero", "missing"}, "Not a directory: missing"},
        {{"zero", ".", "file.txt"}, "Not a directory: file.txt"},
        {{"dupes", "--kb", "1", "."}, ""}, // empty: a usage message
        {{"zero", "--content", "."}, ""},
    };
    for (const auto& [args, last] : cases) {
        const Outcome run = report(args);
        EXPECT_EQ(run.status, 2) << args[1];
        EXPECT_EQ(run.out, "") << args[1];
        if (last.empty())
            EXPECT_NE(run.err.find("Usage: lintwick-report MODE"), std::string::npos) << run.err;
        else
            EXPECT_EQ(run.lastErrLine(), last);
    }

    const Outcome help = report({"zero", ".", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: lintwick-report MODE"), std::string::npos);
}

TEST_F(ReportCli, InterruptStopsTheRunAndPrintsWhatWasFound)
{
    // The root's own files are found before its sub-directory is read; the walk holds there.
    for (int i = 0; i < 3000; ++i)
        tree.file("empty" + std::to_string(i), 0, kAfternoon);
    tree.file("hold/late", 0, kAfternoon);
    tree.file("hold/below/later", 0, kAfternoon);
    for (const char* name : {"a/x", "a/y", "b/x", "b/y"})
        tree.file(std::string("dup/") + name, 1, kAfternoon);
    const std::vector<std::string> env = {"TZ=UTC", "LC_ALL=C",
                                          "LINTWICK_REPORT_TEST_HOLD=" + tree.path("hold/")};

    Background first({"zero", tree.root()}, env);
    ASSERT_TRUE(first.waitForError("holding\n"));
    first.interrupt();
    const int status = first.finish();
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_EQ(lastLine(first.err), "Dust Stopped: 3000 Found");
    EXPECT_EQ(std::count(first.out.begin(), first.out.end(), '\n'), 3000);
    EXPECT_EQ(first.out.find("late"), std::string::npos);
    EXPECT_NE(first.out.find("12/5/98 3:04:06 PM    0                " + tree.path("empty2999") + "\n"),
              std::string::npos);

    // The report fills the output pipe, which nobody reads: a second SIGINT ends it at once.
    Background second({"zero", tree.root()}, env);
    ASSERT_TRUE(second.waitForError("holding\n"));
    second.interrupt();
    second.waitForOutput();
    second.interrupt();
    const int killed = second.finish();
    EXPECT_TRUE(WIFSIGNALED(killed) && WTERMSIG(killed) == SIGINT) << killed;

    // Interrupted once the rows are being written: the group begun is written whole, the document is
    // closed with the outcome of what it holds.
    Background writing({"dupes", "--format", "json", tree.path("dup/")},
                       {"TZ=UTC", "LC_ALL=C", "LINTWICK_REPORT_TEST_HOLD_WRITE=1"});
    ASSERT_TRUE(writing.waitForError("holding\n"));
    writing.interrupt();
    const int stopped = writing.finish();
    EXPECT_TRUE(WIFEXITED(stopped) && WEXITSTATUS(stopped) == 130) << stopped;
    EXPECT_EQ(lastLine(writing.err), "Dust Stopped: 1 Groups Found");
    EXPECT_TRUE(writing.out.starts_with("{\n  \"report\": \"dupes\",\n  \"rows\": [\n")) << writing.out;
    EXPECT_TRUE(
        writing.out.ends_with("\"group\": 1}\n  ],\n  \"outcome\": \"Dust Stopped: 1 Groups Found\"\n}\n"))
        << writing.out;
    EXPECT_EQ(std::count(writing.out.begin(), writing.out.end(), '{'), 3);

    // A SIGINT ignored from the start, as by a shell for a background job, stays ignored.
    const auto found = std::signal(SIGINT, SIG_IGN);
    Background background({"zero", tree.root()}, env);
    std::signal(SIGINT, found);
    ASSERT_TRUE(background.waitForError("holding\n"));
    const unsigned long sigint = 1ul << (SIGINT - 1);
    EXPECT_NE(std::stoul(background.status("SigIgn:").substr(7), nullptr, 16) & sigint, 0u);
    EXPECT_EQ(std::stoul(background.status("SigCgt:").substr(7), nullptr, 16) & sigint, 0u);
}

TEST(ReportCliBuild, NoTestSeamShipsInTheInstalledProgram)
{
    const std::string seam = "LINTWICK_REPORT_TEST_HOLD";
    EXPECT_EQ(slurp(LINTWICK_REPORT).find(seam), std::string::npos);
    EXPECT_NE(slurp(LINTWICK_REPORT_TEST).find(seam), std::string::npos) << "the search finds it where it is";
}

TEST_F(ReportCli, InterruptDuringTheContentCheckKeepsTheClassesFound)
{
    const auto write = [&](const std::string& name, const std::string& bytes) {
        tree.dir(name.substr(0, name.find('/')));
        std::ofstream(tree.path(name), std::ios::binary) << bytes;
    };
    for (const char* name : {"a/same.txt", "b/same.txt"})
        write(name, "same");
    for (const char* name : {"a/big.bin", "b/big.bin"})
        write(name, std::string(100000, 'x'));

    Background run({"dupes", "--content", tree.root()},
                   {"TZ=UTC", "LC_ALL=C", "LINTWICK_REPORT_TEST_HOLD=" + tree.path("a/big.bin")});
    ASSERT_TRUE(run.waitForError("holding\n"));
    run.interrupt();
    const int status = run.finish();
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_TRUE(run.err.ends_with("Dust Complete: 2 Groups Found\nCompare Stopped: 1 Copies in 1 Groups\n"))
        << run.err;
    EXPECT_NE(run.out.find(tree.path("a/big.bin") + "\t?\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(tree.path("a/same.txt") + "\t=1\n"), std::string::npos) << run.out;
}

TEST_F(ReportCli, LongRowsKeepTheMemoryBounded)
{
    // 2,000 rows of about 150 KB: composed whole, two blocks of them would need over 300 MB.
    int fd = ::open(tree.root().c_str(), O_RDONLY | O_DIRECTORY);
    const std::string name(250, 'd');
    for (int i = 0; i < 600; ++i) {
        ASSERT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    for (int i = 0; i < 2000; ++i)
        ::close(::openat(fd, ("e" + std::to_string(i)).c_str(), O_CREAT | O_WRONLY, 0644));
    ::close(fd);
    const std::string command = "prlimit --data=201326592 " + std::string(LINTWICK_REPORT) +
                                " zero --threads 1 " + quoted(tree.root()) + " 2>" +
                                quoted(outFile.root() + "err") + " | wc -l >" +
                                quoted(outFile.root() + "out");
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(slurp(outFile.root() + "out"), "2000\n");
    EXPECT_EQ(slurp(outFile.root() + "err"), "Dust Complete: 2000 Found\n");
}

TEST_F(ReportCli, AFullDiskEndsTheRunWithStatusOneAClosedPipeBySigpipe)
{
    for (int i = 0; i < 100; ++i)
        tree.file("empty" + std::to_string(i));
    const std::string command = std::string(LINTWICK_REPORT) + " zero " + quoted(tree.root()) +
                                " >/dev/full 2>" + quoted(outFile.root() + "err");
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(
        slurp(outFile.root() + "err").find("lintwick-report: writing the report: No space left on device"),
        std::string::npos);

    // Quietly, as it ends other tools.
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ::close(pipeEnds[0]);
    const int piped = std::system((std::string(LINTWICK_REPORT) + " zero " + quoted(tree.root()) + " >&" +
                                   std::to_string(pipeEnds[1]) + " 2>" + quoted(outFile.root() + "err"))
                                      .c_str());
    ::close(pipeEnds[1]);
    EXPECT_TRUE(WIFSIGNALED(piped) ? WTERMSIG(piped) == SIGPIPE : WEXITSTATUS(piped) == 128 + SIGPIPE)
        << piped;
    EXPECT_EQ(slurp(outFile.root() + "err"), "");
}
