// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/Trash.h"
#include "audit/TrashInfo.h"

#include "ChildProcess.h"
#include "TempTree.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const LocalDateTime kWhen{2026, 3, 7, 14, 5, 9, 6};

std::set<std::string> Names(const std::string& folder)
{
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.insert(entry.path().filename());
    return names;
}

unsigned Mode(const std::string& path)
{
    struct stat st = {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

class TrashTest : public ::testing::Test
{
protected:
    TempTree tree;
    std::string homeTrash = tree.path("data/Trash");
    Trash trash{homeTrash, ::getuid()};

    void WriteFile(const std::string& relative, const std::string& text)
    {
        tree.file(relative);
        std::ofstream(tree.path(relative), std::ios::binary) << text;
    }
};

TEST_F(TrashTest, HomeTrashIsMadeAndGetsTheFileWithItsRecord)
{
    WriteFile("reports/a b%.txt", "contents");
    const TrashResult result = trash.Move(tree.path("reports/a b%.txt"), kWhen);
    ASSERT_TRUE(result) << result.reason;

    EXPECT_EQ(result.trashedPath, homeTrash + "/files/a b%.txt");
    EXPECT_EQ(result.infoPath, homeTrash + "/info/a b%.txt.trashinfo");
    EXPECT_FALSE(PathExists(tree.path("reports/a b%.txt")));
    EXPECT_EQ(ReadWholeFile(result.trashedPath), "contents");
    EXPECT_EQ(ReadWholeFile(result.infoPath),
              "[Trash Info]\nPath=" + EncodeTrashPath(tree.path("reports/a b%.txt")) +
                  "\nDeletionDate=2026-03-07T14:05:09\n");
    for (const std::string& folder :
         {tree.path("data"), homeTrash, homeTrash + "/files", homeTrash + "/info"})
        EXPECT_EQ(Mode(folder), 0700u) << folder;
}

TEST_F(TrashTest, NameClashesGetNumberedNamesAndStrayFilesAreLeftAlone)
{
    WriteFile("one/notes.txt", "first");
    WriteFile("two/notes.txt", "second");
    WriteFile("three/notes.txt", "third");
    ASSERT_TRUE(trash.Move(tree.path("one/notes.txt"), kWhen));
    ASSERT_TRUE(trash.Move(tree.path("two/notes.txt"), kWhen));
    // A file in files/ without a record (another program's half-done work) keeps its name.
    WriteFile("data/Trash/files/notes.3.txt", "stray");
    const TrashResult third = trash.Move(tree.path("three/notes.txt"), kWhen);
    ASSERT_TRUE(third) << third.reason;

    EXPECT_EQ(Names(homeTrash + "/files"),
              (std::set<std::string>{"notes.txt", "notes.2.txt", "notes.3.txt", "notes.4.txt"}));
    EXPECT_EQ(
        Names(homeTrash + "/info"),
        (std::set<std::string>{"notes.txt.trashinfo", "notes.2.txt.trashinfo", "notes.4.txt.trashinfo"}));
    EXPECT_EQ(ReadWholeFile(homeTrash + "/files/notes.2.txt"), "second");
    EXPECT_EQ(ReadWholeFile(homeTrash + "/files/notes.3.txt"), "stray");
    EXPECT_EQ(ParseTrashInfo(ReadWholeFile(homeTrash + "/info/notes.4.txt.trashinfo"))->path,
              tree.path("three/notes.txt"));
}

TEST_F(TrashTest, PathsThatNoLongerLeadToARegularFileAreRefusedAndNothingMoves)
{
    WriteFile("real/file.txt", "kept");
    tree.symlink("link.txt", tree.path("real/file.txt"));
    tree.fifo("pipe");
    // A folder of the path swapped for a link after the scan: the link leads to a file of that name.
    WriteFile("swapped/file.txt", "decoy");
    ASSERT_EQ(::rename(tree.path("swapped").c_str(), tree.path("elsewhere").c_str()), 0);
    tree.symlink("swapped", tree.path("real"));

    const struct
    {
        std::string path;
        const char* reason;
    } cases[] = {
        {tree.path("gone.txt"), "the file no longer exists"},
        {tree.path("nowhere/file.txt"), "no longer exists"},
        {tree.path("link.txt"), "it is no longer a regular file"},
        {tree.path("pipe"), "it is no longer a regular file"},
        {tree.path("real"), "it is no longer a regular file"},
        {tree.path("swapped/file.txt"), "is no longer a folder: a symbolic link or a file took its place"},
        {tree.path("real/file.txt/x"), "is no longer a folder"},
        {tree.path("real/../real/file.txt"), "its path holds \".\" or \"..\""},
        {"real/file.txt", "its path is not absolute"},
        {tree.path("real/"), "it names a folder, not a file"},
    };
    for (const auto& c : cases) {
        for (const TrashResult& result : {trash.Check(c.path), trash.Move(c.path, kWhen)}) {
            EXPECT_NE(result.error, 0) << c.path;
            EXPECT_NE(result.reason.find(c.reason), std::string::npos) << c.path << ": " << result.reason;
        }
    }
    EXPECT_EQ(ReadWholeFile(tree.path("real/file.txt")), "kept");
    EXPECT_EQ(ReadWholeFile(tree.path("elsewhere/file.txt")), "decoy");
    EXPECT_TRUE(Names(homeTrash + "/files").empty());
    EXPECT_TRUE(Names(homeTrash + "/info").empty());

    EXPECT_TRUE(trash.Check(tree.path("real/file.txt")));
    EXPECT_TRUE(trash.Check("//" + tree.path("real//file.txt").substr(1)));
}

TEST_F(TrashTest, AFailedMoveTakesItsRecordBackAndLeavesTheFile)
{
    // As nobody, with the trash writable but the file's folder not: the record is written, the rename
    // is refused.
    WriteFile("locked/file.txt", "kept");
    ASSERT_EQ(::chmod(tree.root().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(tree.path("locked").c_str(), 0555), 0);
    tree.dir("data");
    ASSERT_TRUE(HandToNobody(tree.path("data")));
    const int code = RunInChild([&] {
        if (!BecomeNobody())
            return kChildSkipped;
        const Trash nobodysTrash(homeTrash, ::getuid());
        const TrashResult result = nobodysTrash.Move(tree.path("locked/file.txt"), kWhen);
        EXPECT_EQ(result.error, EACCES);
        EXPECT_NE(result.reason.find("it cannot be moved into '" + homeTrash + "'"), std::string::npos)
            << result.reason;
        return 0;
    });
    if (code == kChildSkipped)
        GTEST_SKIP() << "cannot become the user nobody here";
    ASSERT_EQ(code, 0);
    EXPECT_EQ(ReadWholeFile(tree.path("locked/file.txt")), "kept");
    EXPECT_TRUE(Names(homeTrash + "/files").empty());
    EXPECT_TRUE(Names(homeTrash + "/info").empty());
}

// Files on another filesystem go to the trash at its top directory; a tmpfs mounted in a mount
// namespace of a child stands for a USB stick.
class OtherFilesystemTrash : public TrashTest
{
protected:
    std::string mount = tree.path("stick");
    std::string user = std::to_string(::getuid());

    void RunOnStick(const std::function<void()>& body, const std::string& options = "size=8m")
    {
        tree.dir("stick");
        const int code = RunInChild([&] {
            if (!EnterPrivateMounts() || !MountTmpfs(mount, options))
                return kChildSkipped;
            body();
            return 0;
        });
        if (code == kChildSkipped)
            GTEST_SKIP() << "mounting a tmpfs is refused here";
        EXPECT_EQ(code, 0);
    }
};

TEST_F(OtherFilesystemTrash, GoesToTheUsersTrashAtTheTopDirectoryWithARelativePath)
{
    RunOnStick([&] {
        WriteFile("stick/photos/a b.jpg", "photo");
        const TrashResult result = trash.Move(mount + "/photos/a b.jpg", kWhen);
        ASSERT_TRUE(result) << result.reason;
        const std::string top = mount + "/.Trash-" + user;
        EXPECT_EQ(result.trashedPath, top + "/files/a b.jpg");
        EXPECT_EQ(ReadWholeFile(top + "/info/a b.jpg.trashinfo"),
                  "[Trash Info]\nPath=photos/a%20b.jpg\nDeletionDate=2026-03-07T14:05:09\n");
        EXPECT_EQ(Mode(top), 0700u);
        EXPECT_FALSE(PathExists(homeTrash));
    });
}

TEST_F(OtherFilesystemTrash, SharedTrashIsUsedOnlyWithItsStickyBit)
{
    RunOnStick([&] {
        tree.dir("stick/.Trash");
        WriteFile("stick/one.txt", "1");
        WriteFile("stick/two.txt", "2");
        // Without the sticky bit anyone could take files out: the user's own folder is used instead.
        ASSERT_EQ(::chmod((mount + "/.Trash").c_str(), 0777), 0);
        ASSERT_TRUE(trash.Move(mount + "/one.txt", kWhen));
        EXPECT_TRUE(PathExists(mount + "/.Trash-" + user + "/files/one.txt"));

        ASSERT_EQ(::chmod((mount + "/.Trash").c_str(), 01777), 0);
        const TrashResult result = trash.Move(mount + "/two.txt", kWhen);
        ASSERT_TRUE(result) << result.reason;
        EXPECT_EQ(result.trashedPath, mount + "/.Trash/" + user + "/files/two.txt");
        EXPECT_EQ(ParseTrashInfo(ReadWholeFile(mount + "/.Trash/" + user + "/info/two.txt.trashinfo"))->path,
                  "two.txt");

        // A link in place of the user's trash folder is not followed.
        WriteFile("stick/three.txt", "3");
        ASSERT_EQ(::rename((mount + "/.Trash").c_str(), (mount + "/shared").c_str()), 0);
        ASSERT_EQ(::rename((mount + "/.Trash-" + user).c_str(), (mount + "/mine").c_str()), 0);
        ASSERT_EQ(::symlink((mount + "/mine").c_str(), (mount + "/.Trash-" + user).c_str()), 0);
        const TrashResult refused = trash.Move(mount + "/three.txt", kWhen);
        EXPECT_FALSE(refused);
        EXPECT_NE(refused.reason.find("cannot be made"), std::string::npos) << refused.reason;
        EXPECT_EQ(ReadWholeFile(mount + "/three.txt"), "3");
    });
}

TEST_F(OtherFilesystemTrash, ReadOnlyFilesystemFailsWithAClearErrorAndKeepsTheFile)
{
    RunOnStick([&] {
        WriteFile("stick/old.log", "log");
        ASSERT_TRUE(RemountReadOnly(mount));
        const TrashResult result = trash.Move(mount + "/old.log", kWhen);
        EXPECT_EQ(result.error, EROFS);
        EXPECT_EQ(result.reason, "its filesystem has no trash folder, and '" + mount + "/.Trash-" + user +
                                     "' cannot be made (Read-only file system)");
        EXPECT_EQ(ReadWholeFile(mount + "/old.log"), "log");
    });
}

} // namespace
