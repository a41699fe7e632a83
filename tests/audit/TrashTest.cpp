// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/Trash.h"
#include "audit/TrashInfo.h"
#include "audit/TrashRestorer.h"

#include "AuditTestFiles.h"
#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <map>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

class TrashTest : public ::testing::Test
{
protected:
    TempTree tree;
    std::string homeTrash = tree.path("data/Trash");
    Trash trash{homeTrash, ::getuid()};

    void WriteFile(const std::string& relative, const std::string& text)
    {
        ::WriteFile(tree, relative, text);
    }
    TrashResult Move(const std::string& relative)
    {
        return trash.Move(ListedFile::At(tree.path(relative)), kWhen);
    }
    ListedFile Listed(const std::string& relative) const { return ListedNow(tree, relative); }
};

TEST_F(TrashTest, TheRecordIsOnTheDiskBeforeTheFileMovesIntoTheHomeTrashMadeForIt)
{
    WriteFile("reports/a b%\xC3\xA9.txt", "contents");
    std::vector<std::string> steps;
    std::string recordAtRename;
    trash.setStepHook([&](std::string_view step) {
        steps.emplace_back(step);
        if (step == "rename")
            recordAtRename = ReadWholeFile(homeTrash + "/info/a b%\xC3\xA9.txt.trashinfo");
    });
    const TrashResult result = Move("reports/a b%\xC3\xA9.txt");
    ASSERT_TRUE(result) << result.reason;
    EXPECT_EQ(steps,
              (std::vector<std::string>{"sync record", "sync info", "rename", "sync files", "sync folder"}));
    const std::string record = "[Trash Info]\nPath=" + tree.path("reports/a%20b%25%C3%A9.txt") +
                               "\nDeletionDate=2026-03-07T14:05:09\n";
    EXPECT_EQ(recordAtRename, record);
    EXPECT_EQ(result.infoPath, homeTrash + "/info/a b%\xC3\xA9.txt.trashinfo");
    EXPECT_EQ(ReadWholeFile(result.infoPath), record);
    EXPECT_EQ(result.trashedPath, homeTrash + "/files/a b%\xC3\xA9.txt");
    EXPECT_EQ(ReadWholeFile(result.trashedPath), "contents");
    EXPECT_FALSE(PathExists(tree.path("reports/a b%\xC3\xA9.txt")));
    for (const std::string& folder :
         {tree.path("data"), homeTrash, homeTrash + "/files", homeTrash + "/info"})
        EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms::owner_all) << folder;
}

TEST_F(TrashTest, NameClashesGetNumberedNamesThatFitAndStrayFilesAreLeftAlone)
{
    WriteFile("one/notes.txt", "first");
    WriteFile("two/notes.txt", "second");
    WriteFile("three/notes.txt", "third");
    ASSERT_TRUE(Move("one/notes.txt"));
    ASSERT_TRUE(Move("two/notes.txt"));
    // A file in files/ without a record (another program's half-done work) keeps its name.
    WriteFile("data/Trash/files/notes.3.txt", "stray");
    const TrashResult third = Move("three/notes.txt");
    ASSERT_TRUE(third) << third.reason;
    // A report over the home folder lists the trash's own files: those are in the trash already.
    for (const char* inTrash : {"data/Trash/files/notes.txt", "data/Trash/info/notes.txt.trashinfo"})
        EXPECT_EQ(Move(inTrash).reason, "it is in the trash already");

    EXPECT_EQ(Names(homeTrash + "/files"),
              (std::set<std::string>{"notes.txt", "notes.2.txt", "notes.3.txt", "notes.4.txt"}));
    EXPECT_EQ(
        Names(homeTrash + "/info"),
        (std::set<std::string>{"notes.txt.trashinfo", "notes.2.txt.trashinfo", "notes.4.txt.trashinfo"}));
    EXPECT_EQ(ReadWholeFile(homeTrash + "/files/notes.2.txt"), "second");
    EXPECT_EQ(ReadWholeFile(homeTrash + "/files/notes.3.txt"), "stray");
    EXPECT_EQ(ParseTrashInfo(ReadWholeFile(homeTrash + "/info/notes.4.txt.trashinfo"))->path,
              tree.path("three/notes.txt"));

    // Names of 254 bytes (two-byte characters, or a long extension) leave room for ".trashinfo", also
    // with a number, and are never cut inside a character.
    std::string longName;
    while (longName.size() < 250)
        longName += "\xC3\xA9";
    for (const std::string& path :
         {"long1/" + longName + ".txt", "long2/" + longName + ".txt", "long3/x." + std::string(252, 'e')}) {
        WriteFile(path, path);
        const TrashResult result = Move(path);
        ASSERT_TRUE(result) << result.reason;
        EXPECT_EQ(ReadWholeFile(result.trashedPath), path);
        const std::string name = result.trashedPath.substr(result.trashedPath.rfind('/') + 1);
        EXPECT_NE(name[name.find('.') - 1], '\xC3') << name;
        EXPECT_EQ(ParseTrashInfo(ReadWholeFile(result.infoPath))->path, tree.path(path));
    }
}

TEST_F(TrashTest, AFileThatIsNoLongerTheListedOneIsRefusedAndNothingMoves)
{
    std::map<std::string, ListedFile> listed;
    for (const char* name : {"gone.txt", "link.txt", "fifo", "larger.txt", "later.txt", "swapped/a.txt",
                             "linked/a.txt", "late.txt"}) {
        WriteFile(name, "a");
        listed[name] = Listed(name);
    }
    // Between the report and the move: one goes, one becomes a link, one a FIFO, one is rewritten
    // larger, one keeps its size but not its time; a folder becomes another real folder with a copy
    // of the file, and one a link to where it went.
    tree.remove("gone.txt");
    tree.remove("link.txt");
    tree.symlink("link.txt", tree.path("later.txt"));
    tree.remove("fifo");
    tree.fifo("fifo");
    WriteFile("larger.txt", "ab");
    tree.file("later.txt", 1, listed["later.txt"].time + 1);
    ASSERT_EQ(::rename(tree.path("swapped").c_str(), tree.path("old").c_str()), 0);
    tree.file("swapped/a.txt", 1, listed["swapped/a.txt"].time);
    ASSERT_EQ(::rename(tree.path("linked").c_str(), tree.path("moved").c_str()), 0);
    tree.symlink("linked", tree.path("moved"));

    const std::pair<ListedFile, std::string> cases[] = {
        {listed["gone.txt"], "the file no longer exists"},
        {listed["link.txt"], "it is no longer a regular file"},
        {listed["fifo"], "it is no longer a regular file"},
        {listed["larger.txt"], "it changed since the report"},
        {listed["later.txt"], "it changed since the report"},
        {listed["swapped/a.txt"], "the folder '" + tree.path("swapped") + "' changed since the report"},
        {listed["linked/a.txt"],
         "'" + tree.path("linked") + "' is no longer a folder: a symbolic link or a file took its place"},
        // Paths that name no file.
        {ListedFile::At(tree.path("later.txt/x")), "is no longer a folder"},
        {ListedFile::At(tree.path("old")), "it is no longer a regular file"},
        {ListedFile::At(tree.path("old/../old/a.txt")), "its path holds \".\" or \"..\""},
        {ListedFile::At("old/a.txt"), "its path is not absolute"},
        {ListedFile::At(tree.path("old/")), "it names a folder, not a file"},
    };
    for (const auto& [file, reason] : cases) {
        for (const TrashResult& result : {trash.Check(file), trash.Move(file, kWhen)}) {
            EXPECT_NE(result.error, 0) << file.path();
            EXPECT_NE(result.reason.find(reason), std::string::npos) << file.path() << ": " << result.reason;
        }
    }
    EXPECT_EQ(ReadWholeFile(tree.path("old/a.txt")), "a");
    EXPECT_EQ(ReadWholeFile(tree.path("moved/a.txt")), "a");
    // One swapped for a copy just before the rename, after every look, is put back.
    trash.setStepHook([&](std::string_view step) {
        if (step == "rename") {
            ASSERT_EQ(::rename(tree.path("late.txt").c_str(), tree.path("early.txt").c_str()), 0);
            tree.file("late.txt", 1, listed["late.txt"].time);
        }
    });
    EXPECT_EQ(trash.Move(listed["late.txt"], kWhen).reason, "it changed since the report");
    EXPECT_TRUE(PathExists(tree.path("late.txt")));
    EXPECT_TRUE(Names(homeTrash + "/files").empty());
    EXPECT_TRUE(Names(homeTrash + "/info").empty());
    EXPECT_TRUE(trash.Check(ListedFile::At("//" + tree.path("old//a.txt").substr(1))));
}

TEST_F(TrashTest, ARootReachedThroughALinkIsFollowedOnceAndTheRecordNamesWhereTheFileWas)
{
    WriteFile("real/sub/c.txt", "c");
    tree.symlink("link", tree.path("real"));
    ListedFile file;
    file.root = tree.path("link/");
    file.relative = "sub/c.txt";
    ASSERT_TRUE(trash.Move(file, kWhen));
    EXPECT_EQ(ParseTrashInfo(ReadWholeFile(homeTrash + "/info/c.txt.trashinfo"))->path,
              tree.path("real/sub/c.txt"));

    // The path the audit line keeps, through the link, finds it again.
    const std::vector<RestoreResult> back = TrashRestorer(trash).Restore({{file.path(), kWhen}});
    EXPECT_EQ(back[0].status, RestoreStatus::Restored) << back[0].reason;
    EXPECT_EQ(ReadWholeFile(tree.path("real/sub/c.txt")), "c");
}

TEST_F(TrashTest, ARecordThatCannotBeFlushedLeavesTheFileWhereItWasAndNoRecord)
{
    WriteFile("docs/a.txt", "a");
    const int code = RunInChild([&] {
        // The flush of the record itself fails, not those of its folders; once the record is closed,
        // its number is kept from the folders' flushes.
        int record = -1;
        bool failing = false;
        trash.setStepHook([&](std::string_view step) {
            if (step == "sync info")
                ::dup2(STDERR_FILENO, record);
            for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
                std::error_code error;
                if (step == "sync record" &&
                    std::filesystem::read_symlink(fd, error).string().ends_with(".trashinfo"))
                    record = std::stoi(fd.path().filename());
            }
            if (step == "sync record")
                failing = FailCalls({SYS_fsync, SYS_fdatasync}, EIO, record);
        });
        const TrashResult result = Move("docs/a.txt");
        if (!failing)
            return kChildSkipped;
        EXPECT_EQ(result.error, EIO);
        return 0;
    });
    if (code == kChildSkipped)
        GTEST_SKIP() << "system calls cannot be made to fail here";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadWholeFile(tree.path("docs/a.txt")), "a");
    EXPECT_TRUE(Names(homeTrash + "/files").empty());
    EXPECT_TRUE(Names(homeTrash + "/info").empty());
}

// Files on another filesystem go to the trash at its top directory: "$top/.Trash/$uid" in a shared
// folder with the sticky bit, else "$top/.Trash-$uid", never a folder of another user. A tmpfs mounted
// in a mount namespace of a child stands for a USB stick.
TEST_F(TrashTest, OnAnotherFilesystemTheUsersOwnTrashAtItsTopDirectoryIsUsedAndNoOtherOne)
{
    tree.dir("stick");
    const std::string mount = tree.path("stick");
    const std::string user = std::to_string(::getuid());
    const std::string own = mount + "/.Trash-" + user;
    const std::string shared = mount + "/.Trash";
    const int code = RunInChild([&] {
        if (!EnterPrivateMounts() || !MountTmpfs(mount))
            return kChildSkipped;
        for (const char* name : {"photos/a b.jpg", "one.txt", "two.txt", "three.txt", "four.txt", "five.txt"})
            WriteFile(std::string("stick/") + name, name);
        const TrashResult result = Move("stick/photos/a b.jpg");
        EXPECT_EQ(result.trashedPath, own + "/files/a b.jpg") << result.reason;
        EXPECT_EQ(ReadWholeFile(own + "/info/a b.jpg.trashinfo"),
                  "[Trash Info]\nPath=photos/a%20b.jpg\nDeletionDate=2026-03-07T14:05:09\n");
        EXPECT_EQ(std::filesystem::status(own).permissions(), std::filesystem::perms::owner_all);
        EXPECT_FALSE(PathExists(homeTrash));
        // And comes back from there.
        const std::vector<RestoreResult> back =
            TrashRestorer(trash).Restore({{mount + "/photos/a b.jpg", kWhen}});
        EXPECT_EQ(back[0].status, RestoreStatus::Restored) << back[0].reason;
        EXPECT_EQ(ReadWholeFile(mount + "/photos/a b.jpg"), "photos/a b.jpg");

        // Without the sticky bit anyone could take files out of the shared folder: it is passed over.
        tree.dir("stick/.Trash");
        EXPECT_EQ(::chmod(shared.c_str(), 0777), 0);
        EXPECT_EQ(Move("stick/one.txt").trashedPath, own + "/files/one.txt");
        EXPECT_EQ(::chmod(shared.c_str(), 01777), 0);
        EXPECT_EQ(Move("stick/two.txt").trashedPath, shared + "/" + user + "/files/two.txt");
        EXPECT_EQ(ParseTrashInfo(ReadWholeFile(shared + "/" + user + "/info/two.txt.trashinfo"))->path,
                  "two.txt");

        // Folders of another user: the shared one is passed over, the own one refused, and nothing is
        // restored from it.
        if (::geteuid() == 0) {
            EXPECT_EQ(::chown((shared + "/" + user).c_str(), NobodyUid(), NobodyGid()), 0);
            EXPECT_EQ(Move("stick/three.txt").trashedPath, own + "/files/three.txt");
            EXPECT_EQ(::chown(own.c_str(), NobodyUid(), NobodyGid()), 0);
            EXPECT_EQ(Move("stick/four.txt").reason,
                      "the trash folder '" + own + "' of its filesystem belongs to another user");
            EXPECT_EQ(ReadWholeFile(mount + "/four.txt"), "four.txt");
            EXPECT_EQ(Names(own + "/info"),
                      (std::set<std::string>{"one.txt.trashinfo", "three.txt.trashinfo"}));
            EXPECT_EQ(TrashRestorer(trash).Restore({{mount + "/one.txt", kWhen}})[0].status,
                      RestoreStatus::NotInTrash);
            EXPECT_FALSE(PathExists(mount + "/one.txt"));
        }

        // A link in place of the user's trash folder is not followed.
        EXPECT_EQ(::rename(shared.c_str(), (mount + "/shared").c_str()), 0);
        EXPECT_EQ(::rename(own.c_str(), (mount + "/mine").c_str()), 0);
        EXPECT_EQ(::symlink((mount + "/mine").c_str(), own.c_str()), 0);
        EXPECT_NE(Move("stick/five.txt").reason.find("cannot be made"), std::string::npos);
        EXPECT_EQ(ReadWholeFile(mount + "/five.txt"), "five.txt");
        return 0;
    });
    if (code == kChildSkipped)
        GTEST_SKIP() << "mounting a tmpfs is refused here";
    EXPECT_EQ(code, 0);
}

} // namespace
