#include <gtest/gtest.h>

#include <filesystem>

#include "common/ext_string_list.h"
#include "common/md5.h"
#include "common/text_encoding.h"
#include "common/tree_ini.h"
#include "data/csv_readers.h"
#include "data/ei_control.h"
#include "data/kstring.h"
#include "data/photo_xml_reader.h"
#include "test_support.h"

namespace velview {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using test::ScratchDir;
using test::WriteBytes;

const fs::path kSamples = fs::path(VELVIEW_SOURCE_DIR) / "samples" / "deliveries";

std::string Sjis(std::string_view utf8) { return text::EncodeCp932(utf8).bytes; }

TEST(Kstring, NumbersQuotesAndListsNeverLoop) {
    TKstring s(Sjis("12,\"写真\",'a''b',-3.9,\"x\"\"y\",4294967296,\"end"));
    EXPECT_EQ(s.NextNumber(), 12);
    EXPECT_EQ(text::DecodeCp932(s.NextQuoted()).utf8, "写真");
    EXPECT_EQ(s.NextQuoted(), "a'b");
    EXPECT_EQ(s.NextNumber(), -3);  // truncated toward zero
    EXPECT_EQ(s.NextQuoted(), "x\"y");
    EXPECT_EQ(s.NextNumber(), 0);   // beyond 32 bits: no number
    EXPECT_EQ(s.NextQuoted(), "");  // no closing quote
    EXPECT_EQ(s.NextNumber(), 0);   // nothing left: every later text is empty
    EXPECT_EQ(s.NextQuoted(), "");

    // A trail byte equal to a quote never opens a field: 0x8160 is "～".
    TKstring t(Sjis("\"～\""));
    EXPECT_EQ(text::DecodeCp932(t.NextQuoted()).utf8, "～");

    EXPECT_EQ(DecodeListField("'a','b'"), "a\r\nb");
    EXPECT_EQ(DecodeListField("\"a\",\"b\","), "a\r\nb");  // a trailing comma ends the list
    EXPECT_EQ(DecodeListField("abc"), "");                   // no quotes at all
    EXPECT_EQ(DecodeListField(""), "");
}

TEST(CsvSamples, ProductCsvColumns) {
    if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
    TEIControl control;
    const std::string dir = (kSamples / "csv-vel").string();
    control.Examine(dir);
    ASSERT_EQ(control.Kind(), DataKind::ProductCsv);
    ASSERT_EQ(control.Load(dir, control.MediumNumber()), 0);
    TDBExpInp& f = *control.Format();
    ASSERT_EQ(f.Photos.Count(), 7);
    EXPECT_EQ(f.Photos.Items(3).GetField(fld::PctTtl), "");  // the blank line keeps its record
    EXPECT_EQ(f.Photos.Items(2).GetField(fld::PctTtl), "鉄筋\"D13\"の配筋状況");
    const TEIPctInfo& rep = f.Photos.Items(4);
    EXPECT_EQ(rep.GetField(fld::FrqPct), "1");
    EXPECT_TRUE(rep.ItemSelected(0));
    EXPECT_TRUE(rep.ItemSelected(39));
    const TEIPctInfo& lists = f.Photos.Items(1);
    EXPECT_EQ(lists.FieldList(fld::PctKRX)->Count(), 2);
    EXPECT_EQ(lists.FieldList(fld::RefFNX)->Count(), 2);
    EXPECT_EQ(lists.GetField(fld::RefFN1).rfind(f.DrawingFolder, 0), 0u);
    EXPECT_EQ(f.PhotoFile(f.Photos.Items(0)).status, FileStatus::Ok);
    EXPECT_TRUE(f.Problems.empty());
}

TEST(CsvSamples, PhotoInfoCsvColumns) {
    if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
    TEIControl control;
    const std::string dir = (kSamples / "csv-info").string();
    control.Examine(dir);
    ASSERT_EQ(control.Kind(), DataKind::PhotoInfoCsv);
    EXPECT_EQ(control.BackupVersion(), 121);
    ASSERT_EQ(control.Load(dir, control.MediumNumber()), 0);
    TDBExpInp& f = *control.Format();
    ASSERT_EQ(f.Photos.Count(), 5);
    EXPECT_EQ(f.Photos.Items(2).GetField(fld::SkoKan), "数値１：1，数値３：3");
    EXPECT_EQ(f.Photos.Items(1).GetField(fld::PctPlc), "No.5+10.0");
    EXPECT_EQ(f.Photos.Items(0).GetField(fld::PctYMD).size(), 8u);
}

// A delivery folder put together in the test: backup information and data files.
class Folder : public ::testing::Test {
protected:
    void Backup(const char* file, Lines values) {
        fs::create_directories(dir_ / "Dra");
        TTreeIni t;
        Lines lines = {"[Backup Info]"};
        lines.insert(lines.end(), values.begin(), values.end());
        t.SetText(lines, LoadMode::Open);
        t.SaveFile((dir_ / "Dra" / file).string(), SaveForce::Always);
    }
    std::string Dir() const { return dir_.path().string(); }
    ScratchDir dir_;
    TEIControl control_;
};

TEST_F(Folder, KindsFromBackupInformationAndFiles) {
    WriteBytes(dir_ / "写真情報.csv", "");
    control_.Examine(Dir());
    EXPECT_EQ(control_.Kind(), DataKind::None);  // a CSV without backup information
    EXPECT_EQ(control_.Load(Dir(), 0), 2);

    WriteBytes(dir_ / "PHOTO.XML", "");
    Backup("VelWin_Buckup.tin", {"EIType="});
    control_.Examine(Dir());
    EXPECT_EQ(control_.Kind(), DataKind::PhotoInfoCsv);  // the backup information wins

    Backup("VelWin_Buckup2.tin", {"EIType=etVel", "MediaNo=3", "Version=200"});
    control_.Examine(Dir());
    EXPECT_EQ(control_.Kind(), DataKind::ProductCsv);
    EXPECT_EQ(control_.MediumNumber(), 3);
    EXPECT_EQ(control_.BackupVersion(), 200);
    EXPECT_EQ(control_.Folder(), Dir() + "/");
    control_.SetFolder("/x/");
    EXPECT_EQ(control_.Folder(), "/x/");
}

TEST_F(Folder, MediumRequestAndHeaderRule) {
    Backup("VelWin_Buckup.tin", {"EIType=etCSV", "MediaNo=2", "Version=120"});
    WriteBytes(dir_ / "写真情報.csv", Sjis("1,\"A.JPG\",\"f\",\"n\",20230517,\"施工状況写真\"\r\n"));
    int asked = 0;
    control_.callbacks.requestMedium = [&](std::string&, int number, const std::string& file) {
        ++asked;
        EXPECT_EQ(number, 1);
        EXPECT_EQ(file, "写真情報.CSV");
        return false;  // the user gives up
    };
    EXPECT_EQ(control_.Load(Dir(), 1), 2);
    EXPECT_EQ(asked, 1);
    // The right medium: version 120 reads from the first line.
    ASSERT_EQ(control_.Load(Dir(), 2), 0);
    ASSERT_EQ(control_.Format()->Photos.Count(), 1);
    EXPECT_EQ(control_.Format()->Photos.Items(0).GetField(fld::PctYMD), "20230517");
    EXPECT_EQ(control_.Format()->Photos.Items(0).GetField(fld::PctFNm), control_.Format()->PhotoFolder + "A.JPG");
    Backup("VelWin_Buckup.tin", {"EIType=etCSV", "MediaNo=2", "Version=121"});
    ASSERT_EQ(control_.Load(Dir(), 2), 0);
    EXPECT_EQ(control_.Format()->Photos.Count(), 0);  // the first line is a header now
    fs::remove(dir_ / "写真情報.csv");
    EXPECT_EQ(control_.Load(Dir(), 2), 2);
}

TEST_F(Folder, Org700HoldsPhotosItself) {
    const fs::path org = dir_ / "ORG700";
    fs::create_directories(org);
    WriteBytes(org / "PHOTO.XML", Sjis("<photodata><写真情報><写真ファイル名>A.JPG</写真ファイル名></写真情報></photodata>"));
    WriteBytes(org / "A.JPG", "jpeg");
    control_.Examine(org.string());
    ASSERT_EQ(control_.Load(org.string(), 1), 0);
    TDBExpInp& f = *control_.Format();
    EXPECT_EQ(f.PhotoFolder, f.BaseFolder);
    EXPECT_EQ(f.PhotoFile(f.Photos.Items(0)).status, FileStatus::Ok);
}

TEST_F(Folder, TakeoverDigestsBindEveryReadablePhoto) {
    fs::create_directories(dir_ / "PIC");
    WriteBytes(dir_ / "PIC" / "A.JPG", "abc");
    fs::create_directories(dir_ / "PIC" / "B.JPG");  // a folder where a photo should be
    // No declaration: the file is Shift_JIS.
    WriteBytes(dir_ / "PHOTO.XML",
               Sjis("<photodata><写真情報><写真ファイル名>A.JPG</写真ファイル名></写真情報>"
                    "<写真情報><写真ファイル名>B.JPG</写真ファイル名></写真情報>"
                    "<写真情報><写真ファイル名>C.JPG</写真ファイル名></写真情報></photodata>"));
    control_.Examine(Dir());
    ASSERT_EQ(control_.Load(Dir(), 1), 0);
    std::vector<std::string> digests, unreadable;
    EXPECT_TRUE(control_.TakeoverDigests(digests, false, &unreadable));
    EXPECT_EQ(digests, (Lines{"900150983cd24fb0d6963f7d28e17f72", "", ""}));
    ASSERT_EQ(unreadable.size(), 2u);
    EXPECT_NE(unreadable[0].find("not a regular file"), std::string::npos);
    EXPECT_NE(unreadable[1].find("file not found"), std::string::npos);
    EXPECT_FALSE(control_.TakeoverRunning());
}

TEST_F(Folder, TakeoverDigestsAskForEachFurtherMedium) {
    // Medium 1 holds A, medium 2 holds B, medium 3 holds C; the folders come in the wrong order.
    const fs::path m1 = dir_ / "m1", m2 = dir_ / "m2", m3 = dir_ / "m3";
    for (const auto& [m, name] : {std::pair{m1, "A.JPG"}, {m2, "B.JPG"}, {m3, "C.JPG"}}) {
        fs::create_directories(m / "PIC");
        WriteBytes(m / "PIC" / name, name);
    }
    std::string xml = "<photodata>";
    for (const char* r : {"A.JPG</写真ファイル名><メディア番号>1", "B.JPG</写真ファイル名><メディア番号>2",
                          "C.JPG</写真ファイル名><メディア番号>3"})
        xml += std::string("<写真情報><写真ファイル名>") + r + "</メディア番号></写真情報>";
    WriteBytes(m1 / "PHOTO.XML", Sjis(xml + "</photodata>"));
    control_.Examine(m1.string());
    ASSERT_EQ(control_.Load(m1.string(), 1), 0);
    Lines asked;
    std::vector<fs::path> offered = {m3, m2, m3};
    std::size_t next = 0;
    control_.callbacks.confirm = [&](const std::string& text) {
        asked.push_back(text);
        return next < offered.size();
    };
    control_.callbacks.requestFolder = [&] {
        EXPECT_TRUE(control_.TakeoverRunning());
        control_.Format()->SetBaseFolder(offered[next++].string());
        return true;
    };
    std::vector<std::string> digests, unreadable;
    EXPECT_TRUE(control_.TakeoverDigests(digests, false, &unreadable));
    EXPECT_EQ(digests, (Lines{Md5Hex("A.JPG"), Md5Hex("B.JPG"), Md5Hex("C.JPG")}));
    EXPECT_TRUE(unreadable.empty()) << ::testing::PrintToString(unreadable) << ::testing::PrintToString(asked);
    // m3 is refused while medium 2 is wanted; then m2 serves B, then m3 serves C.
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_NE(asked[0].find("2枚目のフォルダを選択してください。"), std::string::npos);
    EXPECT_NE(asked[2].find("3枚目のフォルダを選択してください。"), std::string::npos);

    // Giving up keeps what was computed and names the photos left without a digest.
    control_.Format()->SetBaseFolder(m1.string());
    offered = {m2};
    next = 0;
    digests.clear();
    EXPECT_FALSE(control_.TakeoverDigests(digests, false, &unreadable));
    EXPECT_EQ(digests, (Lines{Md5Hex("A.JPG"), Md5Hex("B.JPG"), ""}));
    ASSERT_EQ(unreadable.size(), 1u);
    EXPECT_NE(unreadable[0].find("C.JPG"), std::string::npos);
    EXPECT_FALSE(control_.TakeoverRunning());
}

TEST(Md5, KnownDigests) {
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
    Md5 split;
    split.Update("message ");
    split.Update("digest");
    EXPECT_EQ(split.FinalHex(), "f96b697d7cb7938d525a2f31aaf161d0");
}

}  // namespace
}  // namespace velview
