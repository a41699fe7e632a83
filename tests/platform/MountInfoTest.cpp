// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MountInfo.h"

#include <gtest/gtest.h>

namespace {

const char* const kSample = "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
                            "26 1 254:0 / / rw,relatime - ext4 /dev/vda rw,discard\n"
                            "27 26 0:24 / /dev/shm rw,relatime - tmpfs tmpfs rw\n"
                            "40 30 0:37 / /sys/fs/cgroup/unified rw,relatime - cgroup2 cgroup2 rw\n"
                            "41 26 8:2 / /boot rw,relatime shared:1 master:2 - ext4 /dev/sda2 rw\n"
                            "42 26 8:3 /ann /home rw,relatime shared:3 - btrfs /dev/sda3 rw\n"
                            "43 26 8:4 / /media/ann/My\\040Disk\\134x rw - vfat /dev/sdb1 rw\n"
                            "44 26 0:50 / /var/lib/docker/x rw - overlay overlay rw,lowerdir=/a\n"
                            "45 26 8:2 / /boot rw - ext4 /dev/sda2 rw\n"
                            "46 26 0:51 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
                            "garbage line without the separator\n"
                            "48 26 8:6 / /mnt/a\\04 rw - ext4 /dev/sdd1 rw\n"
                            "49 26 8:7 / /mnt/end\\040 rw - ext4 /dev/sde1 rw\n"
                            "47 26 8:5 / /mnt/gone rw - xfs /dev/sdc1 rw"; // last line without a line end

} // namespace

TEST(MountInfo, ParsesMountPointsAndTypes)
{
    const auto mounts = ParseMountInfo(kSample);
    ASSERT_EQ(mounts.size(), 13u);
    EXPECT_EQ(mounts[0].mountPoint, "/proc");
    EXPECT_EQ(mounts[0].fsType, "proc");
    EXPECT_EQ(mounts[4].mountPoint, "/boot"); // optional fields before "-" are skipped
    EXPECT_EQ(mounts[4].fsType, "ext4");
    EXPECT_EQ(mounts[6].mountPoint, "/media/ann/My Disk\\x"); // octal escapes undone
    EXPECT_EQ(mounts[10].mountPoint, "/mnt/a\\04");           // an escape cut short by the field's end stays
    EXPECT_EQ(mounts[11].mountPoint, "/mnt/end ");            // an escape that ends the field
    EXPECT_EQ(mounts[12].mountPoint, "/mnt/gone");
    EXPECT_EQ(mounts[12].fsType, "xfs");
}

TEST(MountInfo, DriveRootsLeaveOutPseudoAndUnenterableMountsSortedOnce)
{
    std::vector<std::string> asked;
    const auto roots = DriveRootsFromMounts(ParseMountInfo(kSample), [&](const std::string& root) {
        asked.push_back(root);
        return root != "/mnt/gone/";
    });
    // Pseudo filesystems (proc, tmpfs, cgroup2, squashfs) are left out; overlay and vfat are not.
    const std::vector<std::string> expected{
        "/", "/boot/", "/home/", "/media/ann/My Disk\\x/", "/mnt/a\\04/", "/mnt/end /", "/var/lib/docker/x/"};
    EXPECT_EQ(roots, expected);
    // Pseudo filesystems are not even probed; /boot, mounted twice, is probed once.
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "/boot/"), 1);
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "/proc/"), 0);
}
