#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>

#include "common/embedded_data.h"
#include "common/ent_file_mgr.h"
#include "common/file_container.h"
#include "common/file_io.h"
#include "common/sys_file_mgr.h"
#include "test_support.h"

namespace velview {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;

constexpr double kEmbeddedTime = 45000.25;  // 15 March 2023, 06:00

TFileContainer MakeContainer(std::string name, std::string content) {
    TFileContainer c;
    c.SetFileName(name);
    c.SetContent(std::move(content));
    c.SetTimes(kEmbeddedTime - 1, kEmbeddedTime);
    return c;
}

double WriteTimeOf(const fs::path& p) {
    double t = 0;
    EXPECT_TRUE(FileWriteTime(p, t));
    return t;
}

TEST(FileContainer, DataLayoutIsTimesLengthAndBytes) {
    TFileContainer c = MakeContainer("a.bin", std::string(7817, 'x'));
    const std::string data = c.SaveData();
    EXPECT_EQ(data.size(), 7837u);
    TFileContainer back;
    back.LoadData(data);
    EXPECT_EQ(back.Content(), c.Content());
    EXPECT_EQ(back.CreationTime(), kEmbeddedTime - 1);
    EXPECT_EQ(back.WriteTime(), kEmbeddedTime);
    back.SetFileName("a.bin");
    EXPECT_TRUE(back.Equals(c));
    EXPECT_THROW(back.LoadData(data.substr(0, 19)), IoError);
    EXPECT_THROW(back.LoadData(data.substr(0, 100)), IoError);  // length field says 7817
    EXPECT_TRUE(TFileContainer().Equals(TFileContainer()));
}

TEST(FileContainer, SettingAPathLoadsTheFileAndKeepsTheBareName) {
    ScratchDir dir;
    WriteBytes(dir / "src.txt", "hello");
    SetFileWriteTime(dir / "src.txt", kEmbeddedTime);
    TFileContainer c;
    c.SetFileName((dir / "src.txt").string());
    EXPECT_EQ(c.FileName(), "src.txt");
    EXPECT_EQ(c.Content(), "hello");
    EXPECT_NEAR(c.WriteTime(), kEmbeddedTime, 1e-6);
    c.SetFileName("");
    EXPECT_EQ(c.Content(), "");
    EXPECT_EQ(c.WriteTime(), 0);
}

TEST(FileContainer, ExtractWritesMissingOrDifferingFilesWithTheEmbeddedTime) {
    ScratchDir dir;
    TFileContainer c = MakeContainer("anim.avi", "embedded");
    EXPECT_FALSE(c.Extract(dir / "missing-folder"));

    ASSERT_TRUE(c.Extract(dir.path()));
    EXPECT_EQ(ReadBytes(dir / "anim.avi"), "embedded");
    EXPECT_NEAR(WriteTimeOf(dir / "anim.avi"), kEmbeddedTime, 1e-6);  // not the extraction time
    struct stat st {};
    ASSERT_EQ(::stat((dir / "anim.avi").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);
    EXPECT_FALSE(c.Extract(dir.path()));  // same content: left as it is

    // A differing file is replaced even when it is older than the embedded one: a file
    // changed by someone else is never used in place of ours.
    WriteBytes(dir / "anim.avi", "tampered");
    SetFileWriteTime(dir / "anim.avi", kEmbeddedTime - 10);
    EXPECT_TRUE(c.NeedsWriting(dir.path()));
    EXPECT_TRUE(c.Extract(dir.path()));
    EXPECT_EQ(ReadBytes(dir / "anim.avi"), "embedded");

    // A link planted in place of the file is replaced, not followed.
    fs::remove(dir / "anim.avi");
    WriteBytes(dir / "victim", "keep me");
    fs::create_symlink(dir / "victim", dir / "anim.avi");
    EXPECT_TRUE(c.Extract(dir.path()));
    EXPECT_EQ(ReadBytes(dir / "victim"), "keep me");
    EXPECT_FALSE(fs::is_symlink(dir / "anim.avi"));

    EXPECT_TRUE(c.RemoveExtracted());
    EXPECT_FALSE(fs::exists(dir / "anim.avi"));
    EXPECT_FALSE(c.RemoveExtracted());
}

TEST(SysFileMgr, ExtractsAlwaysRewrittenFilesAndRemovesThemAgain) {
    ScratchDir dir;
    ASSERT_FALSE(EmbeddedSystemFiles().empty());
    {
        TSysFileMgr mgr(dir.path());
        // An identical leftover of an earlier run is rewritten all the same.
        const EmbeddedFile& first = EmbeddedSystemFiles().front();
        WriteBytes(dir / first.name, std::string(first.bytes()));
        ::chmod((dir / first.name).c_str(), 0644);
        mgr.ExtractAll();
        for (const EmbeddedFile& f : EmbeddedSystemFiles()) {
            SCOPED_TRACE(f.name);
            EXPECT_EQ(ReadBytes(dir / f.name), std::string(f.bytes()));
            EXPECT_EQ(mgr.PathOf(f.name), dir / f.name);
        }
        struct stat st {};
        ::stat((dir / first.name).c_str(), &st);
        EXPECT_EQ(st.st_mode & 077, 0u);

        TFileContainer extra = MakeContainer("ondemand.bin", "x");
        mgr.ExtractOnDemand(extra, dir.path());
        fs::remove(dir / "ondemand.bin");
        mgr.ExtractOnDemand(extra, dir.path());  // once per run
        EXPECT_FALSE(fs::exists(dir / "ondemand.bin"));
        WriteBytes(dir / "ondemand.bin", "x");
        mgr.RemoveAll();
        EXPECT_FALSE(fs::exists(dir / "ondemand.bin"));
        for (const EmbeddedFile& f : EmbeddedSystemFiles()) EXPECT_FALSE(fs::exists(dir / f.name)) << f.name;
    }
}

TEST(EntFileMgr, StartUpSliceOpensBothStandardFilesAndDeletesThem) {
    ScratchDir dir;
    const fs::path folder = dir / "VelView";
    {
        TEntFileMgr ent(folder);
        WriteBytes(dir / "stale", "");  // an unrelated file stays untouched
        fs::create_directories(folder);
        WriteBytes(folder / "EnTyp.tin", "left over by a crash");
        ent.Extract();
        EXPECT_GE(ent.StandardListTree().Count(), 1);
        EXPECT_EQ(ent.StandardListTree().Item(0)->Name(), "EntType0000");
        EXPECT_FALSE(ent.StandardListTree().ReadString("EntType0000", "ID").empty());
        EXPECT_GE(ent.InformationTree().Count(), 1);
        EXPECT_EQ(ent.InformationTree().ReadString("C00002005\\BaseInfo", "PhotoDir"), "PHOTO/PIC");
        EXPECT_TRUE(TExtStringList::TestFile(folder / "EnTyp.tin"));
        // A change to an opened tree is not written back when the files are deleted.
        ent.InformationTree().Values("X").WriteString("a", "b");
        ent.DeleteFiles();
        EXPECT_FALSE(fs::exists(folder / "EnTyp.tin"));
        EXPECT_FALSE(fs::exists(folder / "EntInfo.tin"));
    }
    EXPECT_FALSE(fs::exists(folder / "EntInfo.tin"));
    EXPECT_TRUE(fs::exists(dir / "stale"));
}

}  // namespace
}  // namespace velview
