// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/Trash.h"
#include "audit/TrashInfo.h"
#include "audit/TrashRestorer.h"

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
    TrashResult Move(const std::string& relative)
    {
        return trash.Move(ListedFile::At(tree.path(relative)), kWhen);
    }
};

TEST_F(TrashTest, HomeTrashIsMadeAndGetsTheFileWithItsRecord)
{
    WriteFile("reports/a b%.txt", "contents");
    const TrashResult result = Move("reports/a b%.txt");
    ASSERT_TRUE(result) << result.reason;

    EXPECT_EQ(result.trashedPath, homeTrash + "/files/a b%.txt");
    EXPECT_EQ(result.infoPath, homeTrash + "/info/a b%.txt.trashinfo");
    EXPECT_FALSE(PathExists(tree.path("reports/a b%.txt")));
    EXPECT_EQ(ReadWholeFile(result.trashedPath), "contents");
    EXPECT_EQ(ReadWholeFile(result.infoPath), "[Trash Info]\nPath=" + tree.path("reports/a%20b%25.txt") +
                                                  "\nDeletionDate=2026-03-07T14:05:09\n");
    for (const std::string& folder :
         {tree.path("data"), homeTrash, homeTrash + "/files", homeTrash + "/info"})
        EXPECT_EQ(Mode(folder), 0700u) << folder;
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

TEST_F(TrashTest, PathsThatNoLongerLeadToARegularFileAreRefusedAndNothingMoves)
{
    WriteFile("real/file.txt", "kept");
    tree.symlink("link.txt", tree.path("real/file.txt"));
    tree.fifo("pipe");

    const struct
    {
        std::string path;
        const char* reason;
    } cases[] = {
        {tree.path("nowhere/file.txt"), "no longer exists"},
        {tree.path("link.txt"), "it is no longer a regular file"},
        {tree.path("pipe"), "it is no longer a regular file"},
        {tree.path("real"), "it is no longer a regular file"},
        {tree.path("real/file.txt/x"), "is no longer a folder"},
        {tree.path("real/../real/file.txt"), "its path holds \".\" or \"..\""},
        {"real/file.txt", "its path is not absolute"},
        {tree.path("real/"), "it names a folder, not a file"},
    };
    for (const auto& c : cases) {
        const ListedFile file = ListedFile::At(c.path);
        for (const TrashResult& result : {trash.Check(file), trash.Move(file, kWhen)}) {
            EXPECT_NE(result.error, 0) << c.path;
            EXPECT_NE(result.reason.find(c.reason), std::string::npos) << c.path << ": " << result.reason;
        }
    }
    EXPECT_EQ(ReadWholeFile(tree.path("real/file.txt")), "kept");
    EXPECT_TRUE(Names(homeTrash + "/files").empty());
    EXPECT_TRUE(Names(homeTrash + "/info").empty());

    EXPECT_TRUE(trash.Check(ListedFile::At(tree.path("real/file.txt"))));
    EXPECT_TRUE(trash.Check(ListedFile::At("//" + tree.path("real//file.txt").substr(1))));
}

TEST_F(TrashTest, TheRecordIsOnTheDiskBeforeTheMoveAndAFileSwappedMeanwhileGoesBack)
{
    WriteFile("docs/a.txt", "a");
    WriteFile("docs/b.txt", "b");
    std::vector<std::string> steps;
    std::string recordAtRename;
    bool swap = false;
    trash.setStepHook([&](std::string_view step) {
        steps.emplace_back(step);
        if (step == "rename")
            recordAtRename = ReadWholeFile(homeTrash + "/info/" + (swap ? "b" : "a") + ".txt.trashinfo");
        // Between the last look and the rename, another file of the same size takes the name.
        if (step == "rename" && swap) {
            ASSERT_EQ(::rename(tree.path("docs/b.txt").c_str(), tree.path("docs/old.txt").c_str()), 0);
            WriteFile("docs/b.txt", "c");
        }
    });
    ASSERT_TRUE(Move("docs/a.txt"));
    EXPECT_EQ(steps,
              (std::vector<std::string>{"sync record", "sync info", "rename", "sync files", "sync folder"}));
    EXPECT_EQ(recordAtRename, TrashInfoText(tree.path("docs/a.txt"), kWhen));

    swap = true;
    ListedFile listed = ListedFile::At(tree.path("docs/b.txt"));
    listed.size = 1;
    struct stat st = {};
    ::stat(tree.path("docs/b.txt").c_str(), &st);
    listed.time = st.st_mtime;
    const TrashResult result = trash.Move(listed, kWhen);
    EXPECT_EQ(result.error, ESTALE);
    EXPECT_EQ(result.reason, "it changed since the report");
    EXPECT_EQ(ReadWholeFile(tree.path("docs/b.txt")), "c");
    EXPECT_EQ(Names(homeTrash + "/info"), (std::set<std::string>{"a.txt.trashinfo"}));
}

TEST_F(TrashTest, AFailedMoveNamesTheFolderThatRefusedAndLeavesTheFile)
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
        const TrashResult result = nobodysTrash.Move(ListedFile::At(tree.path("locked/file.txt")), kWhen);
        EXPECT_EQ(result.error, EACCES);
        EXPECT_EQ(result.reason,
                  "its folder '" + tree.path("locked") + "' does not let it be moved (Permission denied)");
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
        const TrashResult result = Move("stick/photos/a b.jpg");
        ASSERT_TRUE(result) << result.reason;
        const std::string top = mount + "/.Trash-" + user;
        EXPECT_EQ(result.trashedPath, top + "/files/a b.jpg");
        EXPECT_EQ(ReadWholeFile(top + "/info/a b.jpg.trashinfo"),
                  "[Trash Info]\nPath=photos/a%20b.jpg\nDeletionDate=2026-03-07T14:05:09\n");
        EXPECT_EQ(Mode(top), 0700u);
        EXPECT_FALSE(PathExists(homeTrash));

        // And comes back from there.
        const std::vector<RestoreResult> back =
            TrashRestorer(trash).Restore({{mount + "/photos/a b.jpg", kWhen}});
        EXPECT_EQ(back[0].status, RestoreStatus::Restored) << back[0].reason;
        EXPECT_EQ(ReadWholeFile(mount + "/photos/a b.jpg"), "photo");
        EXPECT_TRUE(Names(top + "/info").empty());

        // Not from a trash folder that another user has taken over.
        if (::geteuid() == 0) {
            ASSERT_TRUE(Move("stick/photos/a b.jpg"));
            ASSERT_EQ(::chown(top.c_str(), NobodyUid(), NobodyGid()), 0);
            EXPECT_EQ(TrashRestorer(trash).Restore({{mount + "/photos/a b.jpg", kWhen}})[0].status,
                      RestoreStatus::NotInTrash);
            EXPECT_FALSE(PathExists(mount + "/photos/a b.jpg"));
        }
    });
}

TEST_F(OtherFilesystemTrash, SharedTrashOnlyWithItsStickyBitAndNoTrashFolderOfAnotherUser)
{
    RunOnStick([&] {
        tree.dir("stick/.Trash");
        WriteFile("stick/one.txt", "1");
        WriteFile("stick/two.txt", "2");
        // Without the sticky bit anyone could take files out: the user's own folder is used instead.
        ASSERT_EQ(::chmod((mount + "/.Trash").c_str(), 0777), 0);
        ASSERT_TRUE(Move("stick/one.txt"));
        EXPECT_TRUE(PathExists(mount + "/.Trash-" + user + "/files/one.txt"));

        ASSERT_EQ(::chmod((mount + "/.Trash").c_str(), 01777), 0);
        const TrashResult result = Move("stick/two.txt");
        ASSERT_TRUE(result) << result.reason;
        EXPECT_EQ(result.trashedPath, mount + "/.Trash/" + user + "/files/two.txt");
        EXPECT_EQ(ParseTrashInfo(ReadWholeFile(mount + "/.Trash/" + user + "/info/two.txt.trashinfo"))->path,
                  "two.txt");

        // Folders of another user are never used: the shared one is passed over, the own one refused.
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown((mount + "/.Trash/" + user).c_str(), NobodyUid(), NobodyGid()), 0);
            WriteFile("stick/three.txt", "3");
            ASSERT_TRUE(Move("stick/three.txt"));
            EXPECT_TRUE(PathExists(mount + "/.Trash-" + user + "/files/three.txt"));
            ASSERT_EQ(::chown((mount + "/.Trash-" + user).c_str(), NobodyUid(), NobodyGid()), 0);
            WriteFile("stick/four.txt", "4");
            const TrashResult refused = Move("stick/four.txt");
            EXPECT_EQ(refused.reason, "the trash folder '" + mount + "/.Trash-" + user +
                                          "' of its filesystem belongs to another user");
            EXPECT_EQ(ReadWholeFile(mount + "/four.txt"), "4");
            EXPECT_EQ(Names(mount + "/.Trash-" + user + "/info"),
                      (std::set<std::string>{"one.txt.trashinfo", "three.txt.trashinfo"}));
        }

        // A link in place of the user's trash folder is not followed.
        WriteFile("stick/five.txt", "5");
        ASSERT_EQ(::rename((mount + "/.Trash").c_str(), (mount + "/shared").c_str()), 0);
        ASSERT_EQ(::rename((mount + "/.Trash-" + user).c_str(), (mount + "/mine").c_str()), 0);
        ASSERT_EQ(::symlink((mount + "/mine").c_str(), (mount + "/.Trash-" + user).c_str()), 0);
        const TrashResult refused = Move("stick/five.txt");
        EXPECT_FALSE(refused);
        EXPECT_NE(refused.reason.find("cannot be made"), std::string::npos) << refused.reason;
        EXPECT_EQ(ReadWholeFile(mount + "/five.txt"), "5");
    });
}

TEST_F(OtherFilesystemTrash, AFilesystemTooFullForTheRecordKeepsTheFileAndLeavesNoRecord)
{
    RunOnStick(
        [&] {
            WriteFile("stick/old.log", "log");
            const std::string top = mount + "/.Trash-" + user;
            tree.dir("stick/.Trash-" + user + "/files");
            tree.dir("stick/.Trash-" + user + "/info");
            ASSERT_EQ(::chmod(top.c_str(), 0700), 0);
            {
                std::ofstream filler(mount + "/filler", std::ios::binary);
                const std::string block(4096, 'x');
                while (filler.write(block.data(), block.size()) && filler.flush()) {
                }
            }
            const TrashResult result = Move("stick/old.log");
            EXPECT_EQ(result.error, ENOSPC) << result.reason;
            EXPECT_EQ(ReadWholeFile(mount + "/old.log"), "log");
            EXPECT_TRUE(Names(top + "/info").empty());
            EXPECT_TRUE(Names(top + "/files").empty());

            ASSERT_TRUE(RemountReadOnly(mount));
            EXPECT_EQ(Move("stick/old.log").error, EROFS);
        },
        "size=64k");
}

} // namespace
