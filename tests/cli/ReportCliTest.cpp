// SPDX-License-Identifier: GPL-3.0-or-later
// lintwick-report as a user runs it: the real binary, its output streams and exit status.
#include "TempTree.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace {

constexpr std::time_t kAfternoon = 912870246; // 12/5/98 3:04:06 PM UTC
constexpr std::time_t kMidnight = 912816000;  // 12/5/98 0:00:00 UTC

// A command run in a directory with TZ=UTC and LC_ALL=C (env may set them otherwise), its standard
// error on a pipe, its output on a pipe, on /dev/full or on a pipe that nobody reads.
class Report
{
public:
    enum Output
    {
        Pipe,
        Full,
        Unread
    };
    Report(std::vector<std::string> command, const std::string& dir, std::vector<std::string> env = {},
           Output output = Pipe)
    {
        int out[2], err[2];
        ::pipe2(out, O_CLOEXEC);
        ::pipe2(err, O_CLOEXEC);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/full", O_WRONLY, 0);
        if (output != Full)
            posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        if (output == Unread)
            ::close(out[0]);
        env.insert(env.end(), {"TZ=UTC", "LC_ALL=C", "PATH=/usr/bin:/bin"});
        std::vector<char*> argv, envp;
        for (std::string& s : command)
            argv.push_back(s.data());
        for (std::string& s : env)
            envp.push_back(s.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        if (posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        m_out = output == Unread ? -1 : out[0];
        m_err = err[0];
    }
    ~Report()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        ::close(m_out);
        ::close(m_err);
    }

    void interrupt() { ::kill(m_pid, SIGINT); }
    // Reads standard error until it holds text; false when it ends first.
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
    // Reads both streams to their end and returns the wait status.
    int finish()
    {
        for (bool outOpen = m_out >= 0, errOpen = true; outOpen || errOpen;) {
            pollfd p[2] = {{outOpen ? m_out : -1, POLLIN, 0}, {errOpen ? m_err : -1, POLLIN, 0}};
            ::poll(p, 2, -1);
            outOpen = outOpen && (!p[0].revents || readSome(m_out, out));
            errOpen = errOpen && (!p[1].revents || readSome(m_err, err));
        }
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return status;
    }
    int exitStatus() { return WEXITSTATUS(finish()); }
    // The signal mask that /proc shows on the line starting with name ("SigIgn:").
    unsigned long signals(const std::string& name) const
    {
        std::ifstream in("/proc/" + std::to_string(m_pid) + "/status");
        std::string line;
        while (std::getline(in, line) && !line.starts_with(name)) {
        }
        return line.empty() ? 0 : std::stoul(line.substr(name.size()), nullptr, 16);
    }

    std::string out, err;

private:
    static bool readSome(int fd, std::string& into)
    {
        char buffer[65536];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        into.append(buffer, static_cast<size_t>(std::max<ssize_t>(got, 0)));
        return got > 0;
    }

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
};

} // namespace

TEST(ReportCli, RowsInTheUsersLocale)
{
    TempTree tree;
    tree.file("x/README.TXT", 1234567, kAfternoon);
    tree.file("x/sub/readme.txt", 0, kMidnight);
    tree.file("x/unique.bin", 0, kAfternoon);
    Report german({LINTWICK_REPORT, "dupes", "x"}, tree.root(), {"LC_ALL=de_DE.UTF-8"});
    EXPECT_EQ(german.exitStatus(), 0);
    EXPECT_EQ(german.out, "05.12.98 15:04:06     1.234.567        x/README.TXT\n"
                          "05.12.98              0                x/sub/readme.txt\n");
    EXPECT_EQ(german.err, "Dust Complete: 1 Groups Found\n"); // no progress line: standard error is a pipe
}

TEST(ReportCli, FoldersThatCannotBeReadAreCountedAndTheFirstNamedBeforeTheOutcome)
{
    // Roots a, b and c: a holds an unreadable folder, b one that can be listed but not entered, c
    // cannot be read at all. What can be read is listed.
    TempTree tree;
    tree.file("a/open/empty.txt", 0, kMidnight);
    tree.file("a/closed/hidden.txt");
    tree.file("b/named.txt");
    tree.file("b/below/deep.txt");
    tree.file("c/hidden.txt");
    ::chmod(tree.root().c_str(), 0755);
    ::chmod(tree.path("a/closed").c_str(), 0);
    ::chmod(tree.path("b").c_str(), 0444);
    ::chmod(tree.path("c").c_str(), 0);
    // As nobody where the test runs as root, who could read every folder.
    std::vector<std::string> command{LINTWICK_REPORT, "zero", "a", "b", "c"};
    if (::geteuid() == 0)
        command.insert(command.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    Report run(command, tree.root());
    EXPECT_EQ(run.exitStatus(), 0);
    EXPECT_EQ(run.out, "12/5/98               0                a/open/empty.txt\n");
    EXPECT_EQ(run.err,
              "lintwick-report: 3 folders could not be read, the first: a/closed/ (Permission denied)\n"
              "Dust Complete: 1 Found\n");
}

TEST(ReportCli, InterruptStopsTheRunAndPrintsWhatWasFound)
{
    // The root's own files are found before its sub-directory is read; the walk holds there.
    TempTree tree;
    for (int i = 0; i < 3000; ++i)
        tree.file("empty" + std::to_string(i), 0, kAfternoon);
    tree.file("hold/late", 0, kAfternoon);
    for (const char* name : {"a/x", "a/y", "b/x", "b/y"})
        tree.file(std::string("dup/") + name, 1, kAfternoon);
    const std::vector<std::string> hold = {"LINTWICK_REPORT_TEST_HOLD=" + tree.path("hold/")};

    Report first({LINTWICK_REPORT_TEST, "zero", tree.root()}, "/", hold);
    ASSERT_TRUE(first.waitForError("holding\n"));
    first.interrupt();
    EXPECT_EQ(first.exitStatus(), 130);
    EXPECT_TRUE(first.err.ends_with("\nDust Stopped: 3000 Found\n")) << first.err;

    // The report fills the output pipe, which nobody reads: a second SIGINT ends it at once.
    Report second({LINTWICK_REPORT_TEST, "zero", tree.root()}, "/", hold);
    ASSERT_TRUE(second.waitForError("holding\n"));
    second.interrupt();
    second.waitForOutput();
    second.interrupt();
    const int killed = second.finish();
    EXPECT_TRUE(WIFSIGNALED(killed) && WTERMSIG(killed) == SIGINT) << killed;

    // Once the rows are being written: the group begun is written whole, the document is closed with
    // the outcome of what it holds.
    Report writing({LINTWICK_REPORT_TEST, "dupes", "--format", "json", tree.path("dup/")}, "/",
                   {"LINTWICK_REPORT_TEST_HOLD_WRITE=1"});
    ASSERT_TRUE(writing.waitForError("holding\n"));
    writing.interrupt();
    EXPECT_EQ(writing.exitStatus(), 130);
    EXPECT_TRUE(writing.err.ends_with("\nDust Stopped: 1 Groups Found\n")) << writing.err;
    EXPECT_TRUE(
        writing.out.ends_with("\"group\": 1}\n  ],\n  \"outcome\": \"Dust Stopped: 1 Groups Found\"\n}\n"))
        << writing.out;
    EXPECT_EQ(std::count(writing.out.begin(), writing.out.end(), '{'), 3);

    // A SIGINT ignored from the start, as by a shell for a background job, stays ignored.
    const auto found = std::signal(SIGINT, SIG_IGN);
    Report background({LINTWICK_REPORT_TEST, "zero", tree.root()}, "/", hold);
    std::signal(SIGINT, found);
    ASSERT_TRUE(background.waitForError("holding\n"));
    EXPECT_NE(background.signals("SigIgn:") & (1ul << (SIGINT - 1)), 0u);
    EXPECT_EQ(background.signals("SigCgt:") & (1ul << (SIGINT - 1)), 0u);
}

TEST(ReportCli, InterruptDuringTheContentCheckKeepsTheClassesFound)
{
    TempTree tree;
    for (const char* name : {"a/same.txt", "b/same.txt", "a/big.bin", "b/big.bin"}) {
        tree.dir(std::string(name, 1));
        std::ofstream(tree.path(name)) << (name[2] == 's' ? std::string("same") : std::string(100000, 'x'));
    }
    Report run({LINTWICK_REPORT_TEST, "dupes", "--content", tree.root()}, "/",
               {"LINTWICK_REPORT_TEST_HOLD=" + tree.path("a/big.bin")});
    ASSERT_TRUE(run.waitForError("holding\n"));
    run.interrupt();
    EXPECT_EQ(run.exitStatus(), 130);
    EXPECT_TRUE(run.err.ends_with("Dust Complete: 2 Groups Found\nCompare Stopped: 1 Copies in 1 Groups\n"))
        << run.err;
    EXPECT_NE(run.out.find(tree.path("a/big.bin") + "\t?\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(tree.path("a/same.txt") + "\t=1\n"), std::string::npos) << run.out;
}

TEST(ReportCli, BadInputEndsWithStatusTwoBeforeAnyScanAFullDiskWithOneAClosedPipeQuietly)
{
    TempTree tree;
    tree.file("file.txt");
    const std::tuple<std::vector<std::string>, Report::Output, int, std::string> cases[] = {
        {{LINTWICK_REPORT, "zero", "--mask", " \t ", "missing"},
         Report::Pipe,
         2,
         "Please enter a filename mask before dusting."},
        {{LINTWICK_REPORT, "zero", ".", "file.txt"}, Report::Pipe, 2, "Not a directory: file.txt\n"},
        {{LINTWICK_REPORT, "zero", "gone"},
         Report::Pipe,
         2,
         "Not a directory: gone (No such file or directory)"},
        {{LINTWICK_REPORT, "--version"},
         Report::Full,
         1,
         "lintwick-report: writing: No space left on device"},
        {{LINTWICK_REPORT, "dupes", "--kb", "1", "."}, Report::Pipe, 2, "Usage: lintwick-report MODE"},
        {{LINTWICK_REPORT, "zero", "."},
         Report::Full,
         1,
         "lintwick-report: writing the report: No space left on device"}};
    for (const auto& [args, output, status, message] : cases) {
        Report run(args, tree.root(), {}, output);
        EXPECT_EQ(run.exitStatus(), status) << args[1];
        EXPECT_EQ(run.out, "") << args[1];
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }

    Report closed({LINTWICK_REPORT, "zero", "."}, tree.root(), {}, Report::Unread);
    const int status = closed.finish();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) << status;
    EXPECT_EQ(closed.err, "");
}

TEST(ReportCli, NoTestSeamShipsInTheInstalledProgram)
{
    const auto holds = [](const char* path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {}).find("LINTWICK_REPORT_TEST_HOLD") !=
               std::string::npos;
    };
    EXPECT_FALSE(holds(LINTWICK_REPORT));
    EXPECT_TRUE(holds(LINTWICK_REPORT_TEST)) << "the search finds it where it is";
}
