#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "browse/media_launch.h"
#include "common/md5.h"
#include "common/settings_file.h"
#include "test_support.h"

namespace velview {
namespace {
namespace fs = std::filesystem;

TEST(MediaLaunch, MountAndDriveKind) {
    const std::string mountinfo =
        "22 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
        "30 22 0:25 / /proc rw,nosuid - proc proc rw\n"
        "41 22 11:0 / /media/user/DISC\\040ONE ro,nosuid shared:7 - iso9660 /dev/sr0 ro\n"
        "42 22 8:17 / /media/user/USB rw,nosuid shared:8 - vfat /dev/sdb1 rw\n"
        "43 42 8:33 / /media/user/USB/inner rw shared:9 - ext4 /dev/sdc1 rw\n";
    struct Case {
        const char* path;
        const char* mountPoint;
    };
    const Case cases[] = {
        {"/work/main/build", "/"},
        {"/media/user/DISC ONE/PHOTO", "/media/user/DISC ONE"},  // an escaped blank
        {"/media/user/USB/PHOTO", "/media/user/USB"},
        {"/media/user/USBX/PHOTO", "/"},                         // whole components only
        {"/media/user/USB/inner/a", "/media/user/USB/inner"},    // the innermost mount
    };
    for (const Case& c : cases) {
        const auto m = FindMount(mountinfo, c.path);
        ASSERT_TRUE(m) << c.path;
        EXPECT_EQ(m->mountPoint, c.mountPoint) << c.path;
    }
    EXPECT_EQ(DriveKindOfMount(*FindMount(mountinfo, "/media/user/DISC ONE/x")), DriveKind::Optical);

    // A fake /sys/dev/block: 8:17 is a partition of a removable disk, 254:0 a fixed disk.
    test::ScratchDir sys;
    fs::create_directories(sys / "disk-b" / "sdb1");
    { std::ofstream(sys / "disk-b" / "removable") << "1\n"; }
    { std::ofstream(sys / "disk-b" / "sdb1" / "partition") << "1\n"; }
    fs::create_directory_symlink(sys / "disk-b" / "sdb1", sys / "8:17");
    fs::create_directories(sys / "254:0");
    { std::ofstream(sys / "254:0" / "removable") << "0\n"; }
    EXPECT_EQ(DriveKindOfMount(*FindMount(mountinfo, "/media/user/USB/x"), sys.path()), DriveKind::Removable);
    EXPECT_EQ(DriveKindOfMount(*FindMount(mountinfo, "/work"), sys.path()), DriveKind::Fixed);
}

TEST(MediaLaunch, CopiesAreCheckedAndArgumentFollowsTheSettingsFile) {
    test::ScratchDir medium, target;
    { std::ofstream(medium / "velview") << "program bytes"; }
    { std::ofstream(medium / "velview-render") << "helper bytes"; }
    const auto copies = PrepareProgramCopy({medium / "velview", medium / "velview-render"}, target.path());
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(Md5OfFile(copies[0]), Md5OfFile(medium / "velview"));
    // A different file of the same name in the folder is replaced, never started.
    { std::ofstream(target / "velview") << "something else"; }
    PrepareProgramCopy({medium / "velview"}, target.path());
    EXPECT_EQ(Md5OfFile(target / "velview"), Md5OfFile(medium / "velview"));

    EXPECT_EQ(MediaLaunchArgument(medium.path()), "") << "no delivery on the medium";
    fs::create_directories(medium / "PHOTO");
    { std::ofstream(medium / "PHOTO" / "PHOTO.XML") << "<photodata/>"; }
    EXPECT_EQ(MediaLaunchArgument(medium.path()), (medium / "PHOTO").string() + "/");
    // The standard that keeps its delivery in the medium's root.
    WriteSettingsText("[EntType]\nCode=P22012403\n", medium / "VELVIEW.TIN");
    EXPECT_EQ(MediaLaunchArgument(medium.path()), "") << "no PHOTO.XML in the root";
    { std::ofstream(medium / "PHOTO.XML") << "<photodata/>"; }
    EXPECT_EQ(MediaLaunchArgument(medium.path()), medium.path().string() + "/");
}

TEST(MediaLaunch, InstanceLockIsSeenByTheStarter) {
    // A viewer of this user may be running beside the tests: then the lock is held already.
    const bool before = InstanceLock::AnyInstanceRuns();
    {
        InstanceLock running;
        EXPECT_TRUE(InstanceLock::AnyInstanceRuns());
    }
    EXPECT_EQ(InstanceLock::AnyInstanceRuns(), before);
}

}  // namespace
}  // namespace velview
